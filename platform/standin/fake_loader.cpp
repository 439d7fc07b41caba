// The process-wide settings and the DLL loader lookups a program makes at
// start-up, each call traced.
#include <cstdint>
#include <string>

#include "platform/standin/fake_state.h"

using namespace standin;

namespace {

const HMODULE kernel32 = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7FF10000));

BOOL WINAPI FakeSetDefaultDllDirectories(DWORD directoryFlags) {
    Trace("SetDefaultDllDirectories(" + std::to_string(directoryFlags) + ")");
    return TheState().loader.setDefaultDllDirectoriesResult;
}

}  // namespace

UINT SetErrorMode(UINT mode) {
    Trace("SetErrorMode(" + std::to_string(mode) + ")");
    return 0;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    Trace("GetModuleHandleW(" + Narrow(moduleName) + ")");
    return moduleName != nullptr && Lower(moduleName) == L"kernel32.dll" ? kernel32 : nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    const std::string name = procName == nullptr ? "null" : procName;
    Trace("GetProcAddress(" + std::string(module == kernel32 ? "kernel32" : "another module") + ", " + name + ")");
    if (module != kernel32 || name != "SetDefaultDllDirectories" || !TheState().loader.hasSetDefaultDllDirectories)
        return nullptr;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeSetDefaultDllDirectories));
}

BOOL SetDllDirectoryW(LPCWSTR pathName) {
    Trace("SetDllDirectoryW(" + (pathName == nullptr ? std::string("null") : "\"" + Narrow(pathName) + "\"") + ")");
    return TRUE;
}
