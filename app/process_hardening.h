#pragma once

// Makes the process safe to start unattended, as SYSTEM, from a folder that
// others may write to. Call first, before anything loads a DLL:
// - no error dialog ever waits for a user that is not there;
// - DLLs loaded from now on are searched for in System32 only, so that one
//   planted in the executable's folder or the current directory is not
//   loaded in place of one that COM, WMI or a system DLL asks for by name.
//   Where Windows lacks SetDefaultDllDirectories (Windows 7 without
//   KB2533623) at least the current directory is dropped.
void HardenProcess();
