#include "smbios/oem_strings_search.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "tests/smbios_tables.h"

namespace {

using tables::Bytes;

// The table in a heap block of exactly its size, so that a read past its end
// is caught by the sanitizers and valgrind.
std::optional<std::size_t> SearchExact(const Bytes& table) {
    auto exact = std::make_unique<std::uint8_t[]>(table.size());
    if (!table.empty()) std::memcpy(exact.get(), table.data(), table.size());
    return FindOemStringsOffset({exact.get(), table.size()});
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const Bytes oem01 = {0x0B, 0x05, 0x34, 0x12, 0x01, '0', '1', 0x00, 0x00};
constexpr std::optional<std::size_t> none = std::nullopt;

struct SearchCase {
    const char* name;
    Bytes table;
    std::optional<std::size_t> expected;
};
void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

class OemStringsSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(OemStringsSearch, FindsTheFirstOemStringsStructureWithoutLeavingTheTable) {
    EXPECT_EQ(SearchExact(GetParam().table), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ByteLevel, OemStringsSearch,
    testing::Values(
        SearchCase{"EmptyTable", {}, none},
        SearchCase{"OemFirst", oem01, 0},
        SearchCase{"AfterStructureWithTwoStrings", Join({{0x00, 0x04, 0x00, 0x00, 'A', 0x00, 'B', 0x00, 0x00}, oem01}),
                   9},
        SearchCase{"AfterEmptyStringSet", Join({{0x01, 0x04, 0x00, 0x00, 0x00, 0x00}, oem01}), 6},
        SearchCase{"NulsInsideTheFormattedAreaDoNotEndIt",
                   Join({{0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'A', 0x00, 0x00}, oem01}), 11},
        SearchCase{"PairAtAnOddPosition", Join({{0x01, 0x05, 0x00, 0x00, 0x07, 'A', 'B', 0x00, 0x00}, oem01}), 9},
        SearchCase{"EndOfTableTypeIsWalkedPast", Join({{0x7F, 0x04, 0xFF, 0xFF, 0x00, 0x00}, oem01}), 6},
        SearchCase{"FirstOfTwoOemStructures", Join({oem01, oem01}), 0},
        SearchCase{"LastStructureNotClosed", {0x01, 0x04, 0x00, 0x00, 'A', 0x00}, none},
        SearchCase{"OemWithUnclosedStringSet", {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x0B, 0x05, 0x00, 0x00, 0x01, '0'},
                   6},
        SearchCase{"OemTypeByteIsTheLastByte", {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x0B}, 6},
        SearchCase{"NoOemAndLastStructureEndsAtTheEnd",
                   {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x00, 'X', 0x00, 0x00}, none},
        SearchCase{"LengthZeroIsTwoBytes", Join({{0x00, 0x00}, oem01}), 2},
        SearchCase{"LengthZeroClosesAfterTheHandle", Join({{0x01, 0x00, 0x34, 0x12, 0x00, 0x00}, oem01}), 6},
        SearchCase{"LengthOne", Join({{0x02, 0x01, 0x00, 0x00}, oem01}), 4},
        SearchCase{"LengthTwoWithZeroHandle", Join({{0x03, 0x02, 0x00, 0x00}, oem01}), 4},
        SearchCase{"EvenTrailingNulsThenOem", {0x00, 0x00, 0x00, 0x00, 0x0B}, 4},
        SearchCase{"OddTrailingNuls", {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, none},
        SearchCase{"OddTrailingNulsBeforeOem", {0x00, 0x00, 0x00, 0x0B, 0x05}, none},
        SearchCase{"LengthByteMissing", {0x01}, none},
        SearchCase{"LengthPastTheEnd", {0x01, 0xFF, 0x00, 0x00, 0x00, 0x00}, none},
        SearchCase{"LengthReachesExactlyTheEnd", {0x01, 0x06, 0x00, 0x00, 0x00, 0x00}, none}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST(OemStringsSearchRealistic, FindsOemAmongTypicalStructures) {
    const Bytes table = tables::Realistic({"01", "Panel"});
    const auto offset = SearchExact(table);
    ASSERT_TRUE(offset.has_value());
    EXPECT_EQ(table[*offset], 11);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&table[*offset + 5]), 2), "01");

    // The same table up to just before the OEM structure has none.
    EXPECT_EQ(SearchExact(Bytes(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(*offset))), none);
    // Cut anywhere at or after the OEM type byte, it is still found at once.
    for (std::size_t end = *offset + 1; end <= table.size(); ++end)
        EXPECT_EQ(SearchExact(Bytes(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(end))), offset);
}

TEST(OemStringsSearchRealistic, EveryTruncationStaysInsideTheTable) {
    const Bytes table = tables::Table({tables::Typical(0, {"V", "1"}, 0), tables::Typical(4, {"CPU"}, 4),
                                       tables::Typical(127, {}, 0xFFFF)});
    for (std::size_t end = 0; end <= table.size(); ++end)
        EXPECT_EQ(SearchExact(Bytes(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(end))), none) << end;
}

// A 4 GiB stretch of address space filled with one byte value, cheaply: the
// same small file-backed block mapped over and over, copy-on-write, so that
// only the pages a test writes to take memory of their own.
class HugeFilledRegion {
public:
    static constexpr std::size_t size = std::size_t{1} << 32;

    explicit HugeFilledRegion(std::uint8_t fill) {
        constexpr std::size_t block = std::size_t{2} << 20;
        const int file = memfd_create("smbios-table", 0);
        if (file < 0 || ftruncate(file, block) != 0) return;
        void* pattern = mmap(nullptr, block, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        if (pattern == MAP_FAILED) return;
        std::memset(pattern, fill, block);
        munmap(pattern, block);

        void* reserved = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (reserved == MAP_FAILED) return;
        base = static_cast<std::uint8_t*>(reserved);
        for (std::size_t at = 0; at < size; at += block) {
            if (mmap(base + at, block, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, file, 0) == MAP_FAILED) {
                munmap(base, size);
                base = nullptr;
                break;
            }
        }
        close(file);
    }
    ~HugeFilledRegion() {
        if (base != nullptr) munmap(base, size);
    }
    HugeFilledRegion(const HugeFilledRegion&) = delete;
    HugeFilledRegion& operator=(const HugeFilledRegion&) = delete;

    std::uint8_t* Data() const { return base; }

private:
    std::uint8_t* base = nullptr;
};

// A table as long as a 32-bit length can say: one structure whose string-set
// runs to two bytes before the end, then an OEM type byte as the very last
// byte. Offsets near 0xFFFFFFFF must neither wrap nor step outside.
TEST(OemStringsSearchLimits, LongestTableThatA32BitLengthAllows) {
    const HugeFilledRegion region('A');
    if (region.Data() == nullptr) GTEST_SKIP() << "cannot map 4 GiB of address space here";
    constexpr std::size_t length = 0xFFFFFFFF;
    std::uint8_t* table = region.Data();
    const std::uint8_t header[] = {0x01, 0x04, 0x00, 0x00};
    std::memcpy(table, header, sizeof header);
    table[length - 3] = 0x00;
    table[length - 2] = 0x00;
    table[length - 1] = 0x0B;

    EXPECT_EQ(FindOemStringsOffset({table, length}), length - 1);
    table[length - 1] = 0x7F;
    EXPECT_EQ(FindOemStringsOffset({table, length}), none);
    table[length - 2] = 'A';  // string-set no longer closed before the end
    EXPECT_EQ(FindOemStringsOffset({table, length}), none);
}

}  // namespace
