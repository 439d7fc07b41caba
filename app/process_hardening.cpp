#include "app/process_hardening.h"

#include "platform/platform.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directoryFlags);

// Resolved at run time: importing it would keep the executable from starting
// at all on a Windows 7 without the update that brought it.
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr) return nullptr;
    const FARPROC found = GetProcAddress(kernel32, "SetDefaultDllDirectories");
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

void HardenProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    const SetDefaultDllDirectoriesFunction setDefaultDllDirectories = FindSetDefaultDllDirectories();
    if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");
    }
}
