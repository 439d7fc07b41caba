#include "app/rotation_rule.h"

#include <cstddef>

namespace {

// With the standard five-byte formatted area (type, length, handle, count),
// OEM string 1 begins at offset 5. The offsets are fixed: the length byte and
// the string count are not consulted.
constexpr std::size_t firstFlagOffset = 5;
constexpr std::size_t secondFlagOffset = 6;

}  // namespace

std::uint32_t RotateValueFor(std::optional<std::span<const std::uint8_t>> oemStrings) {
    if (!oemStrings || oemStrings->size() <= secondFlagOffset) return 0;
    const auto& structure = *oemStrings;
    return structure[firstFlagOffset] == '0' && structure[secondFlagOffset] == '1' ? 1 : 0;
}
