// An in-memory registry below HKEY_LOCAL_MACHINE, recording every call with
// its arguments.
#include <cstdint>

#include "platform/standin/fake_state.h"

using namespace standin;

const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002));

namespace {

KeyHandle* OpenHandle(HKEY key) {
    auto* handle = reinterpret_cast<KeyHandle*>(key);
    return TheState().openKeys.contains(handle) ? handle : nullptr;
}

HKEY NewHandle(const std::wstring& path) {
    auto* handle = new KeyHandle{path};
    TheState().openKeys.insert(handle);
    return reinterpret_cast<HKEY>(handle);
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    State& state = TheState();
    state.registryCalls.push_back(
        {.function = "RegOpenKeyExW", .root = root, .subKey = subKey, .options = options, .access = access});
    if (root != HKEY_LOCAL_MACHINE || subKey == nullptr || result == nullptr) return ERROR_INVALID_HANDLE;
    if (state.registry.openFailure != ERROR_SUCCESS) return state.registry.openFailure;
    const std::wstring path = Lower(subKey);
    if (!state.keys.contains(path)) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                        LPSECURITY_ATTRIBUTES security, PHKEY result, DWORD* disposition) {
    State& state = TheState();
    state.registryCalls.push_back({.function = "RegCreateKeyExW",
                                   .root = root,
                                   .subKey = subKey,
                                   .reserved = reserved,
                                   .options = options,
                                   .access = access,
                                   .keyClass = keyClass == nullptr ? L"(null)" : keyClass,
                                   .securityGiven = security != nullptr,
                                   .dispositionAsked = disposition != nullptr});
    if (root != HKEY_LOCAL_MACHINE || subKey == nullptr || result == nullptr) return ERROR_INVALID_HANDLE;
    if (state.registry.createFailure != ERROR_SUCCESS) return state.registry.createFailure;
    const std::wstring path = Lower(subKey);
    state.keys.insert(path);
    *result = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    State& state = TheState();
    const KeyHandle* handle = OpenHandle(key);
    state.registryCalls.push_back({.function = "RegSetValueExW",
                                   .root = key,
                                   .subKey = handle != nullptr ? handle->path : L"(not an open key)",
                                   .reserved = reserved,
                                   .valueName = valueName == nullptr ? L"(null)" : valueName,
                                   .type = type,
                                   .data = data == nullptr ? std::vector<BYTE>{} : std::vector<BYTE>(data, data + size),
                                   .size = size});
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if (state.registry.writeFailure != ERROR_SUCCESS) return state.registry.writeFailure;
    state.values[{handle->path, Lower(valueName == nullptr ? L"" : valueName)}] =
        StoredValue{type, state.registryCalls.back().data};
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    State& state = TheState();
    KeyHandle* handle = OpenHandle(key);
    state.registryCalls.push_back({.function = "RegCloseKey", .root = key,
                                   .subKey = handle != nullptr ? handle->path : L"(not an open key)"});
    if (handle == nullptr) {
        ++state.foreignKeyCloses;
        return ERROR_INVALID_HANDLE;
    }
    state.openKeys.erase(handle);
    delete handle;
    return ERROR_SUCCESS;
}
