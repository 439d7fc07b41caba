#include <cstdio>

#include "app/process_hardening.h"
#include "app/run.h"

// Wide-character console entry point. Arguments and environment are ignored:
// the tool has no options, so an unattended caller cannot change what it does.
int wmain(int /*argc*/, wchar_t* /*argv*/[], wchar_t* /*envp*/[]) {
    HardenProcess();
    return RunRotation(stderr);
}
