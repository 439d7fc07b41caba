#pragma once

#include <cstdint>
#include <optional>
#include <span>

// 1 when the first OEM string of the structure begins with "01", else 0.
// Takes the structure's bytes from its type byte to the end of the table, or
// nothing when the table has no OEM Strings structure.
std::uint32_t RotateValueFor(std::optional<std::span<const std::uint8_t>> oemStrings);
