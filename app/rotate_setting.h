#pragma once

#include <cstdint>

#include "platform/platform.h"

// Where the setting lives, under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t serviceKeyPath[] = L"SYSTEM\\CurrentControlSet\\Services\\ZI370";
inline constexpr wchar_t rotateValueName[] = L"Rotate";

// Stores rotateValue as the REG_DWORD Rotate of the ZI370 service key, opening
// the key or else creating it. Returns ERROR_SUCCESS, or the Windows error code
// of the step that failed (the create when the key can be neither opened nor
// created, otherwise the value write).
LSTATUS StoreRotateValue(std::uint32_t rotateValue);
