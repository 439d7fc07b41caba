#include "app/run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/rotate_setting.h"
#include "app/rotation_rule.h"
#include "platform/standin/fake_platform.h"
#include "tests/smbios_tables.h"

int wmain(int argc, wchar_t* argv[], wchar_t* envp[]);

namespace {

using standin::Balance;
using standin::RegistryCall;
using standin::StoredValue;

const std::wstring keyPath = L"SYSTEM\\CurrentControlSet\\Services\\ZI370";
const StoredValue rotate0{REG_DWORD, {0, 0, 0, 0}};
const StoredValue rotate1{REG_DWORD, {1, 0, 0, 0}};

struct RunResult {
    int exitStatus;
    std::string diagnostics;
};

RunResult RunOnce() {
    std::FILE* diagnostics = std::tmpfile();
    const int status = RunRotation(diagnostics);
    std::string text(256, '\0');
    std::rewind(diagnostics);
    text.resize(std::fread(text.data(), 1, text.size(), diagnostics));
    std::fclose(diagnostics);
    return {status, text};
}

std::vector<std::string> Functions() {
    std::vector<std::string> names;
    for (const RegistryCall& call : standin::RegistryCalls()) names.push_back(call.function);
    return names;
}

// The rotation rule, on the first OEM string as firmware publishes it.
struct FlagCase {
    const char* name;
    tables::Bytes table;
    std::uint32_t rotateValue;
};
void PrintTo(const FlagCase& c, std::ostream* out) { *out << c.name; }

class RotationFlag : public testing::TestWithParam<FlagCase> {};

TEST_P(RotationFlag, IsStoredAsRotate) {
    standin::Reset({.instances = {GetParam().table}});
    standin::SetStoredValue(keyPath, L"Rotate", GetParam().rotateValue == 1 ? rotate0 : rotate1);
    const RunResult result = RunOnce();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.diagnostics, "");
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), GetParam().rotateValue == 1 ? rotate1 : rotate0);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

INSTANTIATE_TEST_SUITE_P(
    FirstOemString, RotationFlag,
    testing::Values(
        FlagCase{"Exactly01", tables::Realistic({"01"}), 1},
        FlagCase{"BeginsWith01", tables::Realistic({"0123", "other"}), 1},
        FlagCase{"Is00", tables::Realistic({"00"}), 0},
        FlagCase{"Is10", tables::Realistic({"10"}), 0},
        FlagCase{"Is1", tables::Realistic({"1"}), 0},
        FlagCase{"Is0", tables::Realistic({"0"}), 0},
        FlagCase{"Is001", tables::Realistic({"001"}), 0},
        FlagCase{"IsEmpty", tables::Realistic({"", "01"}), 0},
        FlagCase{"NoStrings", tables::Realistic({}), 0},
        FlagCase{"SecondStringIs01", tables::Realistic({"x", "01"}), 0},
        FlagCase{"NoOemStructure", tables::Table({tables::Typical(0, {"V"}, 0), tables::Typical(127, {}, 1)}), 0},
        FlagCase{"OnlyTheFirstOemStructureCounts", tables::Table({tables::Oem({"00"}), tables::Oem({"01"})}), 0},
        FlagCase{"OemFirstStringNotClosed", {0x0B, 0x05, 0x00, 0x00, 0x01, '0', '1'}, 1},
        FlagCase{"OemCutBeforeTheSecondFlagByte", {0x0B, 0x05, 0x00, 0x00, 0x01, '0'}, 0},
        FlagCase{"OemTypeByteLast", {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x0B}, 0}),
    [](const testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

// The flag sits at fixed offsets: neither the length byte nor the count is read.
TEST(RotationRule, ReadsOffsetsFiveAndSixOnly) {
    const std::uint8_t oddLength[] = {0x0B, 0x09, 0x00, 0x00, 0x00, '0', '1'};
    EXPECT_EQ(RotateValueFor(std::span<const std::uint8_t>(oddLength)), 1u);
    EXPECT_EQ(RotateValueFor(std::nullopt), 0u);
}

TEST(Run, WritesTheValueWithTheDocumentedArguments) {
    standin::Reset({.instances = {tables::Realistic({"01"})}});
    standin::SetStoredValue(keyPath, L"Other", rotate0);  // the key exists
    ASSERT_EQ(RunOnce().exitStatus, 0);

    const auto& calls = standin::RegistryCalls();
    ASSERT_EQ(Functions(), (std::vector<std::string>{"RegOpenKeyExW", "RegSetValueExW", "RegCloseKey"}));
    EXPECT_EQ(calls[0].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(calls[0].subKey, keyPath);
    EXPECT_EQ(calls[0].options, 0u);
    EXPECT_EQ(calls[0].access, 0x20006u);
    EXPECT_EQ(calls[1].subKey, standin::Lowered(keyPath));
    EXPECT_EQ(calls[1].valueName, L"Rotate");
    EXPECT_EQ(calls[1].reserved, 0u);
    EXPECT_EQ(calls[1].type, 4u);
    EXPECT_EQ(calls[1].data, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(calls[1].size, 4u);
    EXPECT_EQ(calls[2].root, calls[1].root);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Other"), rotate0);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

TEST(Run, CreatesTheKeyWhenMissing) {
    standin::Reset({.instances = {tables::Realistic({"01"})}});
    ASSERT_FALSE(standin::KeyExists(keyPath));
    ASSERT_EQ(RunOnce().exitStatus, 0);

    const auto& calls = standin::RegistryCalls();
    ASSERT_EQ(Functions(),
              (std::vector<std::string>{"RegOpenKeyExW", "RegCreateKeyExW", "RegSetValueExW", "RegCloseKey"}));
    const RegistryCall& create = calls[1];
    EXPECT_EQ(create.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(create.subKey, keyPath);
    EXPECT_EQ(create.reserved, 0u);
    EXPECT_EQ(create.keyClass, L"");
    EXPECT_EQ(create.options, 0u);
    EXPECT_EQ(create.access, 0x20006u);
    EXPECT_FALSE(create.securityGiven);
    EXPECT_FALSE(create.dispositionAsked);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

// A key that exists but cannot be opened as asked is created (which opens it).
TEST(Run, FallsBackToCreateWhenOpenFails) {
    standin::Reset({.instances = {tables::Realistic({"01"})}}, {.openFailure = ERROR_ACCESS_DENIED});
    standin::SetStoredValue(keyPath, L"Rotate", rotate0);
    EXPECT_EQ(RunOnce().exitStatus, 0);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

// Whatever step of the read fails, the machine is treated as one without the
// flag: an earlier 1 is replaced by 0.
TEST(Run, FailedReadStoresZero) {
    for (const standin::ReadStep step : standin::allReadSteps) {
        SCOPED_TRACE(standin::Name(step));
        standin::Reset({.instances = {tables::Realistic({"01"})}, .failingStep = step});
        standin::SetStoredValue(keyPath, L"Rotate", rotate1);
        const RunResult result = RunOnce();
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.diagnostics, "");
        EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate0);
        EXPECT_EQ(standin::CurrentBalance(), Balance{});
    }
}

TEST(Run, ArgumentsAreIgnored) {
    standin::Reset({.instances = {tables::Realistic({"01"})}});
    wchar_t option[] = L"/rotate=0";
    wchar_t program[] = L"zi370-rotate.exe";
    wchar_t* argv[] = {program, option, nullptr};
    wchar_t* envp[] = {nullptr};
    EXPECT_EQ(wmain(2, argv, envp), 0);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

// First thing, before COM loads any DLL: no error dialog may wait for a user,
// and DLLs come from System32 only; where Windows cannot do that, at least not
// from the current directory.
struct HardeningCase {
    const char* name;
    standin::LoaderScript loader;
    std::vector<std::string> calls;
};
void PrintTo(const HardeningCase& c, std::ostream* out) { *out << c.name; }

class ProcessHardening : public testing::TestWithParam<HardeningCase> {};

TEST_P(ProcessHardening, ComesBeforeTheRead) {
    standin::Reset({.instances = {tables::Realistic({"01"})}}, {}, GetParam().loader);
    wchar_t program[] = L"zi370-rotate.exe";
    wchar_t* argv[] = {program, nullptr};
    wchar_t* envp[] = {nullptr};
    EXPECT_EQ(wmain(1, argv, envp), 0);

    std::vector<std::string> expected = GetParam().calls;
    expected.push_back("CoInitializeEx(null, 0)");
    const auto& trace = standin::CallTrace();
    ASSERT_GE(trace.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(trace.begin(), trace.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate1);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

const std::vector<std::string> lookup = {
    "SetErrorMode(32771)",  // SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX
    "GetModuleHandleW(kernel32.dll)",
    "GetProcAddress(kernel32, SetDefaultDllDirectories)",
};
std::vector<std::string> LookupThen(std::vector<std::string> calls) {
    calls.insert(calls.begin(), lookup.begin(), lookup.end());
    return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Start, ProcessHardening,
    testing::Values(
        HardeningCase{"System32Only", {}, LookupThen({"SetDefaultDllDirectories(2048)"})},
        HardeningCase{"WithoutSetDefaultDllDirectoriesDropsTheCurrentDirectory",
                      {.hasSetDefaultDllDirectories = false},
                      LookupThen({"SetDllDirectoryW(\"\")"})},
        HardeningCase{"RefusedSetDefaultDllDirectoriesDropsTheCurrentDirectory",
                      {.setDefaultDllDirectoriesResult = FALSE},
                      LookupThen({"SetDefaultDllDirectories(2048)", "SetDllDirectoryW(\"\")"})}),
    [](const testing::TestParamInfo<HardeningCase>& info) { return std::string(info.param.name); });

// When nothing could be stored the run says so, with the Windows error code,
// and fails: a deployment script must not take it for done.
struct StoreFailureCase {
    const char* name;
    standin::RegistryScript registry;
    std::vector<std::string> calls;
    LSTATUS error;
};
void PrintTo(const StoreFailureCase& c, std::ostream* out) { *out << c.name; }

class StoreFailure : public testing::TestWithParam<StoreFailureCase> {};

TEST_P(StoreFailure, EndsWithStatusOneAndOneLineNamingKeyAndError) {
    standin::Reset({.instances = {tables::Realistic({"01"})}}, GetParam().registry);
    standin::SetStoredValue(keyPath, L"Rotate", rotate0);
    const RunResult result = RunOnce();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.diagnostics,
              "zi370-rotate: could not store Rotate in HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZI370: "
              "Windows error " +
                  std::to_string(GetParam().error) + "\n");
    EXPECT_EQ(Functions(), GetParam().calls);
    EXPECT_EQ(standin::StoredValueOf(keyPath, L"Rotate"), rotate0);
    EXPECT_EQ(standin::CurrentBalance(), Balance{});
}

INSTANTIATE_TEST_SUITE_P(
    Registry, StoreFailure,
    testing::Values(
        StoreFailureCase{"KeyCannotBeOpenedOrCreated",
                         {.openFailure = ERROR_ACCESS_DENIED, .createFailure = ERROR_ACCESS_DENIED},
                         {"RegOpenKeyExW", "RegCreateKeyExW"},
                         ERROR_ACCESS_DENIED},
        StoreFailureCase{"ValueCannotBeWritten",
                         {.writeFailure = ERROR_WRITE_FAULT},
                         {"RegOpenKeyExW", "RegSetValueExW", "RegCloseKey"},
                         ERROR_WRITE_FAULT}),
    [](const testing::TestParamInfo<StoreFailureCase>& info) { return std::string(info.param.name); });

}  // namespace
