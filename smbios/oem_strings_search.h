#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// SMBIOS structure type 11: OEM Strings.
inline constexpr std::uint8_t oemStringsType = 11;

// Walks a raw SMBIOS structure table (structures back to back, no entry-point
// header) from its first byte and returns the offset of the type byte of the
// first OEM Strings structure, or nothing. Never reads outside the table.
std::optional<std::size_t> FindOemStringsOffset(std::span<const std::uint8_t> table);
