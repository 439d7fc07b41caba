// Throughput of the OEM Strings search over three table shapes, beside memchr
// over the same bytes: the pace of a plain linear scan.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "smbios/oem_strings_search.h"
#include "tests/smbios_tables.h"

namespace {

using tables::Bytes;

// (a) A firmware-sized table: typical structures up to about 4 KiB, the OEM
// Strings structure near the end.
Bytes RealisticFourKiB() {
    Bytes table;
    const std::vector<std::string> strings = {"Vendor Inc.", "Product Name", "Version 1.0", "Serial 0123456789"};
    for (std::uint16_t handle = 0; table.size() < 4096 - 128; ++handle) {
        const std::uint8_t types[] = {0, 1, 2, 3, 4, 7, 9, 16, 17, 19, 20, 32};
        tables::Append(table, tables::Typical(types[handle % std::size(types)], strings, handle));
    }
    tables::Append(table, tables::Oem({"01", "Panel"}));
    tables::Append(table, tables::Typical(127, {}, 0xFFFF));
    return table;
}

// (b) 1 MiB of minimal structures: header and an empty string-set, 6 bytes each.
Bytes MinimalStructures() {
    Bytes table;
    while (table.size() < (1u << 20)) tables::Append(table, {1, {}, {}, 0});
    return table;
}

// (c) 1 MiB in a few structures with long string-sets.
Bytes LongStringSets() {
    Bytes table;
    const std::vector<std::string> strings(16, std::string(4000, 'S'));
    for (std::uint16_t handle = 0; table.size() < (1u << 20); ++handle)
        tables::Append(table, {1, Bytes(23, 0), strings, handle});
    return table;
}

const Bytes& Shape(int shape) {
    static const Bytes shapes[] = {RealisticFourKiB(), MinimalStructures(), LongStringSets()};
    return shapes[shape];
}
const char* const shapeNames[] = {"realistic_4KiB", "minimal_structures_1MiB", "long_string_sets_1MiB"};

void FindOemStrings(benchmark::State& state) {
    const Bytes& table = Shape(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto offset = FindOemStringsOffset(table);
        benchmark::DoNotOptimize(offset);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
    state.SetLabel(shapeNames[state.range(0)]);
}

// memchr for a byte value that is not in the table, so it reads all of it.
void MemchrReference(benchmark::State& state) {
    const Bytes& table = Shape(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const void* found = std::memchr(table.data(), 0xFE, table.size());
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
    state.SetLabel(shapeNames[state.range(0)]);
}

BENCHMARK(FindOemStrings)->DenseRange(0, 2);
BENCHMARK(MemchrReference)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
