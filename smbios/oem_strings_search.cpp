#include "smbios/oem_strings_search.h"

#include <cstring>

namespace {

// Offset of the first of two adjacent NUL bytes, at any alignment: the end of
// a structure's string-set.
std::optional<std::size_t> FindNulPair(std::span<const std::uint8_t> bytes) {
    std::size_t from = 0;
    while (bytes.size() - from >= 2) {
        // The NUL that opens a pair needs one more byte after it. It is often
        // right here (an empty string-set), and a look costs less than memchr.
        std::size_t at = from;
        if (bytes[from] != 0) {
            const void* nul = std::memchr(bytes.data() + from, 0, bytes.size() - from - 1);
            if (nul == nullptr) return std::nullopt;
            at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes.data());
        }
        if (bytes[at + 1] == 0) return at;
        from = at + 2;  // bytes[at + 1] is not NUL, so no pair starts there either
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> FindOemStringsOffset(std::span<const std::uint8_t> table) {
    // Every offset below stays at or under table.size(), so nothing can wrap
    // whatever the table's length.
    std::size_t offset = 0;
    while (offset < table.size()) {
        // Accepted on its type byte alone; what else may be read of it is the
        // caller's to bound.
        if (table[offset] == oemStringsType) return offset;

        const std::size_t remaining = table.size() - offset;
        if (remaining < 2) return std::nullopt;  // no length byte
        const std::size_t formattedLength = table[offset + 1];
        if (formattedLength > remaining) return std::nullopt;

        // The string-set starts where the formatted area ends (at the type byte
        // itself for a length of 0); NULs inside the formatted area don't count.
        const auto pair = FindNulPair(table.subspan(offset + formattedLength));
        if (!pair) return std::nullopt;
        offset += formattedLength + *pair + 2;
    }
    return std::nullopt;
}
