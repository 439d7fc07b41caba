#pragma once
// Test control of the stand-in platform: what WMI serves, which call fails,
// and a ledger of everything the code under test acquired, released and
// wrote. One process-wide instance, reset by each test.

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/standin/windows_api.h"

namespace standin {

// The nine status-returning calls of a table read, in call order.
enum class ReadStep {
    CoInitializeEx,
    CoCreateInstance,
    ConnectServer,
    CoSetProxyBlanket,
    CreateInstanceEnum,
    Next,
    GetMajorVersion,
    GetMinorVersion,
    GetSmbiosData,
};
inline constexpr ReadStep allReadSteps[] = {
    ReadStep::CoInitializeEx,     ReadStep::CoCreateInstance, ReadStep::ConnectServer,
    ReadStep::CoSetProxyBlanket,  ReadStep::CreateInstanceEnum, ReadStep::Next,
    ReadStep::GetMajorVersion,    ReadStep::GetMinorVersion,  ReadStep::GetSmbiosData,
};
const char* Name(ReadStep step);

struct WmiScript {
    // One table per instance of MSSMBios_RawSMBiosTables; none: Next returns
    // no object.
    std::vector<std::vector<std::uint8_t>> instances{{}};
    std::optional<ReadStep> failingStep{};
    HRESULT failure = E_FAIL;
    // What a successful CoInitializeEx returns (S_FALSE: already initialised).
    HRESULT coInitializeSuccess = S_OK;
    // SMBiosData served as VT_ARRAY | VT_UI1, or as this other type (VT_BSTR
    // is served with an allocated string, VT_I4 with a number).
    VARTYPE smbiosDataType = VT_ARRAY | VT_UI1;
    // The version properties' type: VT_UI1, or VT_BSTR with an allocated string.
    VARTYPE versionType = VT_UI1;
};

struct RegistryScript {
    LSTATUS openFailure = ERROR_SUCCESS;    // returned by RegOpenKeyExW even for an existing key
    LSTATUS createFailure = ERROR_SUCCESS;  // returned by RegCreateKeyExW
    LSTATUS writeFailure = ERROR_SUCCESS;   // returned by RegSetValueExW, which then stores nothing
};

// The DLL loader as the process finds it at start-up.
struct LoaderScript {
    // False: kernel32 lacks SetDefaultDllDirectories (Windows 7 without KB2533623).
    bool hasSetDefaultDllDirectories = true;
    // What SetDefaultDllDirectories returns.
    BOOL setDefaultDllDirectoriesResult = TRUE;
};

struct RegistryCall {
    std::string function{};
    HKEY root = nullptr;  // the key handle given, for calls on an open key
    std::wstring subKey{};  // for calls on an open key: that key's path
    DWORD reserved = 0;
    DWORD options = 0;
    REGSAM access = 0;
    std::wstring keyClass{};
    bool securityGiven = false;
    bool dispositionAsked = false;
    std::wstring valueName{};
    DWORD type = 0;
    std::vector<BYTE> data{};
    DWORD size = 0;
};

struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> data{};
    bool operator==(const StoredValue&) const = default;
};

// What the code under test left behind; all zero after a clean run.
struct Balance {
    int liveLocators = 0;
    int liveServices = 0;
    int liveEnumerators = 0;
    int liveClassObjects = 0;
    int extraReleases = 0;    // Release on an object with no reference left
    int comJoins = 0;         // successful CoInitializeEx minus CoUninitialize
    int liveStrings = 0;      // SysAllocString minus SysFreeString
    int liveArrays = 0;       // safe arrays served and not yet cleared
    int foreignFrees = 0;     // frees of strings or variants the stand-in never handed out
    int openKeys = 0;         // registry handles not closed
    int foreignKeyCloses = 0; // RegCloseKey of a handle that is not open
    bool operator==(const Balance&) const = default;
};
void PrintTo(const Balance& balance, std::ostream* out);

void Reset(WmiScript wmi = {}, RegistryScript registry = {}, LoaderScript loader = {});
void SetStoredValue(const std::wstring& keyPath, const std::wstring& valueName, StoredValue value);

// Calls in order, each as "Function(arguments)": the process set-up and the
// read's COM side.
const std::vector<std::string>& CallTrace();
const std::vector<RegistryCall>& RegistryCalls();
bool KeyExists(const std::wstring& keyPath);
// Key paths as the stand-in keeps them: case folded, as the registry compares them.
std::wstring Lowered(const std::wstring& keyPath);
std::optional<StoredValue> StoredValueOf(const std::wstring& keyPath, const std::wstring& valueName);
Balance CurrentBalance();

}  // namespace standin
