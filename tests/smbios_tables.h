#pragma once
// Builds raw SMBIOS structure tables for tests, seeds and benchmarks.

#include <cstdint>
#include <string>
#include <vector>

namespace tables {

using Bytes = std::vector<std::uint8_t>;

struct Structure {
    std::uint8_t type = 0;
    // The fields after the 4-byte header; the length byte is 4 + their size.
    Bytes fields;
    std::vector<std::string> strings;
    std::uint16_t handle = 0;
};

inline void Append(Bytes& table, const Structure& structure) {
    table.push_back(structure.type);
    table.push_back(static_cast<std::uint8_t>(4 + structure.fields.size()));
    table.push_back(static_cast<std::uint8_t>(structure.handle));
    table.push_back(static_cast<std::uint8_t>(structure.handle >> 8));
    table.insert(table.end(), structure.fields.begin(), structure.fields.end());
    for (const std::string& text : structure.strings) {
        table.insert(table.end(), text.begin(), text.end());
        table.push_back(0);
    }
    if (structure.strings.empty()) table.push_back(0);
    table.push_back(0);
}

inline Bytes Table(const std::vector<Structure>& structures) {
    Bytes table;
    for (const Structure& structure : structures) Append(table, structure);
    return table;
}

// An OEM Strings structure (type 11): the string count, then the strings.
inline Structure Oem(std::vector<std::string> strings, std::uint16_t handle = 0x0B00) {
    return {11, {static_cast<std::uint8_t>(strings.size())}, std::move(strings), handle};
}

// A structure of the given type with a formatted area of the usual size for
// that type, zero-filled (NULs inside the formatted area are common).
inline Structure Typical(std::uint8_t type, std::vector<std::string> strings, std::uint16_t handle) {
    std::size_t length = 0x10;
    switch (type) {
        case 0: length = 0x1A; break;   // BIOS Information
        case 1: length = 0x1B; break;   // System Information
        case 2: length = 0x0F; break;   // Baseboard Information
        case 3: length = 0x16; break;   // System Enclosure
        case 4: length = 0x30; break;   // Processor Information
        case 17: length = 0x28; break;  // Memory Device
        case 32: length = 0x0B; break;  // System Boot Information
        case 127: length = 0x04; break; // End-of-Table
    }
    Structure structure{type, Bytes(length - 4, 0), std::move(strings), handle};
    // String-number fields point at the strings, as firmware lays them out.
    for (std::size_t i = 0; i < structure.strings.size() && i < structure.fields.size(); ++i)
        structure.fields[i] = static_cast<std::uint8_t>(i + 1);
    return structure;
}

// A table as a laptop's firmware publishes it, with the OEM Strings structure
// among the others and the End-of-Table structure last.
inline Bytes Realistic(const std::vector<std::string>& oemStrings) {
    return Table({
        Typical(0, {"Vendor Inc.", "1.2.3", "03/14/2025"}, 0x0000),
        Typical(1, {"Vendor Inc.", "ZI370", "1.0", "SN123456"}, 0x0001),
        Typical(2, {"Vendor Inc.", "Board", "A1"}, 0x0002),
        Typical(3, {"Vendor Inc."}, 0x0003),
        Typical(4, {"CPU0", "Intel(R) Corporation", "Intel(R) Atom(TM)"}, 0x0004),
        Typical(17, {"DIMM0", "BANK 0", "Samsung", "0000", "M471"}, 0x0011),
        Typical(17, {}, 0x0012),
        Typical(32, {}, 0x0020),
        Oem(oemStrings),
        Typical(127, {}, 0xFFFF),
    });
}

}  // namespace tables
