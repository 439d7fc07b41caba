#pragma once
// The platform interfaces the tool is written against: COM, OLE Automation,
// WMI, the registry and the wide-character console start-up. This header is
// the one place that knows which platform the tool is being built for.

#if defined(_WIN32)
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>
#else
// Native builds (unit tests, sanitizers, fuzzing, benchmarks) compile the
// same sources against a small in-process stand-in of those interfaces.
#include "platform/standin/windows_api.h"
#endif
