#pragma once
// A second, deliberately plain reading of the rotation flag, byte by byte,
// written apart from the product's walk so the fuzzer can compare the two.

#include <cstddef>
#include <cstdint>

inline std::uint32_t PlainModelRotateValue(const std::uint8_t* table, std::size_t length) {
    std::size_t at = 0;
    while (at < length) {
        if (table[at] == 11) {
            // Offsets 5 and 6 of the OEM Strings structure, when inside the table.
            return at + 6 < length && table[at + 5] == '0' && table[at + 6] == '1' ? 1 : 0;
        }
        if (at + 1 >= length) return 0;
        std::size_t scan = at + table[at + 1];
        while (true) {
            if (scan + 1 >= length) return 0;
            if (table[scan] == 0 && table[scan + 1] == 0) break;
            ++scan;
        }
        at = scan + 2;
    }
    return 0;
}
