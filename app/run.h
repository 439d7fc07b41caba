#pragma once

#include <cstdio>

// The whole job, once: read the firmware's SMBIOS table, apply the rotation
// rule to its first OEM Strings structure and store the result in the
// registry. Returns the process exit status: 0 when Rotate was stored, 1 when
// it could not be (one line saying why goes to `diagnostics`). A table that
// cannot be read counts as one without the flag, so 0 is stored.
int RunRotation(std::FILE* diagnostics);
