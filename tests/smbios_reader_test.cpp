#include "smbios/smbios_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/standin/fake_platform.h"
#include "tests/smbios_tables.h"

namespace {

using standin::Balance;
using standin::ReadStep;

constexpr HRESULT accessDenied = static_cast<HRESULT>(0x80070005);

// The calls of a complete read, in order.
const std::vector<std::string> fullRead = {
    "CoInitializeEx(null, 0)",
    "CoCreateInstance(WbemLocator, null, 1, IWbemLocator)",
    "ConnectServer(ROOT\\WMI, null, null, null, 0, null, null)",
    "CoSetProxyBlanket(IWbemServices, 10, 0, null, 3, 3, null, 0)",
    "CreateInstanceEnum(MSSMBios_RawSMBiosTables, 0, null)",
    "Next(-1, 1)",
    "Get(SmbiosMajorVersion, 0, type given, flavor null)",
    "Get(SmbiosMinorVersion, 0, type given, flavor null)",
    "Get(SMBiosData, 0, type given, flavor null)",
    "Release(IWbemClassObject)",
};
const std::vector<std::string> teardown = {
    "Release(IEnumWbemClassObject)",
    "Release(IWbemServices)",
    "Release(IWbemLocator)",
    "CoUninitialize()",
};

std::vector<std::string> Concat(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(SmbiosReader, CopiesTheTableAndReleasesEverythingOnce) {
    const tables::Bytes table = tables::Realistic({"01"});
    standin::Reset({.instances = {table}});
    {
        SmbiosReader reader;
        EXPECT_TRUE(standin::CallTrace().empty()) << "construction touches no COM";
        ASSERT_TRUE(reader.Read());
        EXPECT_EQ(reader.LastStatus(), S_OK);
        EXPECT_EQ(tables::Bytes(reader.Table().begin(), reader.Table().end()), table);
        EXPECT_EQ(standin::CallTrace(), fullRead);
        // The connection is held until teardown; the table copy is the reader's own.
        EXPECT_EQ(standin::CurrentBalance(), (Balance{.liveLocators = 1, .liveServices = 1, .liveEnumerators = 1,
                                                      .comJoins = 1}));
    }
    EXPECT_EQ(standin::CallTrace(), Concat(fullRead, teardown));
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

// What follows the failing call: what the read releases at once, then what
// teardown releases.
struct FailureCase {
    ReadStep step;
    std::vector<std::string> releasedByRead;
    std::vector<std::string> releasedByTeardown;
};
void PrintTo(const FailureCase& c, std::ostream* out) { *out << standin::Name(c.step); }

class SmbiosReaderFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SmbiosReaderFailure, GivesUpWithAnEmptyTableAndBalancedReferences) {
    const FailureCase& failure = GetParam();
    standin::Reset({.instances = {tables::Realistic({"01"})}, .failingStep = failure.step, .failure = accessDenied});

    // The calls up to and including the failing one.
    std::vector<std::string> expected;
    for (std::size_t i = 0; i <= static_cast<std::size_t>(failure.step); ++i) expected.push_back(fullRead[i]);
    expected = Concat(expected, failure.releasedByRead);
    {
        SmbiosReader reader;
        EXPECT_FALSE(reader.Read());
        EXPECT_EQ(reader.LastStatus(), accessDenied);
        EXPECT_TRUE(reader.Table().empty());
        EXPECT_FALSE(reader.FindOemStrings().has_value());
        EXPECT_EQ(standin::CallTrace(), expected);
    }
    EXPECT_EQ(standin::CallTrace(), Concat(expected, failure.releasedByTeardown));
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

const std::vector<std::string> releaseObject = {"Release(IWbemClassObject)"};

INSTANTIATE_TEST_SUITE_P(
    EachStep, SmbiosReaderFailure,
    testing::Values(
        FailureCase{ReadStep::CoInitializeEx, {}, {}},
        FailureCase{ReadStep::CoCreateInstance, {"CoUninitialize()"}, {}},
        FailureCase{ReadStep::ConnectServer, {"Release(IWbemLocator)", "CoUninitialize()"}, {}},
        FailureCase{ReadStep::CoSetProxyBlanket,
                    {"Release(IWbemServices)", "Release(IWbemLocator)", "CoUninitialize()"}, {}},
        FailureCase{ReadStep::CreateInstanceEnum,
                    {"Release(IWbemServices)", "Release(IWbemLocator)", "CoUninitialize()"}, {}},
        FailureCase{ReadStep::Next, {}, teardown},
        FailureCase{ReadStep::GetMajorVersion, releaseObject, teardown},
        FailureCase{ReadStep::GetMinorVersion, releaseObject, teardown},
        FailureCase{ReadStep::GetSmbiosData, releaseObject, teardown}),
    [](const testing::TestParamInfo<FailureCase>& info) {
        std::string name = standin::Name(info.param.step);
        std::erase_if(name, [](char c) { return c == '(' || c == ')'; });
        return name;
    });

// Reads that succeed as far as WMI is concerned but yield no table.
struct NoTableCase {
    const char* name;
    standin::WmiScript script;
    HRESULT lastStatus;
};
void PrintTo(const NoTableCase& c, std::ostream* out) { *out << c.name; }

class SmbiosReaderNoTable : public testing::TestWithParam<NoTableCase> {};

TEST_P(SmbiosReaderNoTable, ReturnsFalseAndFreesWhatItWasGiven) {
    standin::Reset(GetParam().script);
    {
        SmbiosReader reader;
        EXPECT_FALSE(reader.Read());
        EXPECT_EQ(reader.LastStatus(), GetParam().lastStatus);
        EXPECT_TRUE(reader.Table().empty());
    }
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SmbiosReaderNoTable,
    testing::Values(NoTableCase{"NoInstance", {.instances = {}}, S_FALSE},
                    NoTableCase{"DataIsNull", {.smbiosDataType = VT_NULL}, S_OK},
                    NoTableCase{"DataIsAString", {.smbiosDataType = VT_BSTR}, S_OK},
                    NoTableCase{"DataIsANumber", {.smbiosDataType = VT_I4}, S_OK},
                    NoTableCase{"DataIsAnArrayOfAnotherType", {.smbiosDataType = VT_ARRAY | VT_I4}, S_OK}),
    [](const testing::TestParamInfo<NoTableCase>& info) { return std::string(info.param.name); });

TEST(SmbiosReader, ReadsOnlyTheFirstInstance) {
    const tables::Bytes first = tables::Realistic({"00"});
    standin::Reset({.instances = {first, tables::Realistic({"01"})}});
    {
        SmbiosReader reader;
        ASSERT_TRUE(reader.Read());
        EXPECT_EQ(tables::Bytes(reader.Table().begin(), reader.Table().end()), first);
    }
    EXPECT_EQ(std::count(standin::CallTrace().begin(), standin::CallTrace().end(), "Next(-1, 1)"), 1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

TEST(SmbiosReader, EmptyArrayIsASuccessfulReadOfAnEmptyTable) {
    standin::Reset({.instances = {tables::Bytes{}}});
    SmbiosReader reader;
    EXPECT_TRUE(reader.Read());
    EXPECT_TRUE(reader.Table().empty());
    EXPECT_FALSE(reader.FindOemStrings().has_value());
}

TEST(SmbiosReader, ComAlreadyInitialisedIsStillLeftOnce) {
    standin::Reset({.instances = {tables::Realistic({"01"})}, .coInitializeSuccess = S_FALSE});
    {
        SmbiosReader reader;
        EXPECT_TRUE(reader.Read());
    }
    EXPECT_EQ(std::count(standin::CallTrace().begin(), standin::CallTrace().end(), "CoUninitialize()"), 1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

// A provider that hands the version numbers back as strings must not cost
// the process those strings.
TEST(SmbiosReader, VersionValuesOfAnotherTypeAreFreed) {
    standin::Reset({.instances = {tables::Realistic({"01"})}, .versionType = VT_BSTR});
    {
        SmbiosReader reader;
        EXPECT_TRUE(reader.Read());
    }
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

TEST(SmbiosReader, FindOemStringsPointsIntoTheCopy) {
    const tables::Bytes table = tables::Realistic({"01", "Panel"});
    standin::Reset({.instances = {table}});
    SmbiosReader reader;
    ASSERT_TRUE(reader.Read());
    const auto oem = reader.FindOemStrings();
    ASSERT_TRUE(oem.has_value());
    EXPECT_EQ(oem->data() + oem->size(), reader.Table().data() + reader.Table().size());
    EXPECT_EQ((*oem)[0], 11);
}

}  // namespace
