#pragma once
// What both fuzz targets share: running the tool in process and reading back
// what it stored.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/rotate_setting.h"
#include "app/run.h"
#include "platform/standin/fake_platform.h"

// Stops the fuzzer with a crash it reports and keeps the input of.
inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

inline int RunQuietly() {
    static std::FILE* sink = std::fopen("/dev/null", "w");
    return RunRotation(sink);
}

inline std::optional<std::uint32_t> StoredRotate() {
    const auto stored = standin::StoredValueOf(serviceKeyPath, rotateValueName);
    if (!stored) return std::nullopt;
    Require(stored->type == REG_DWORD && stored->data.size() == 4, "Rotate is a 4-byte REG_DWORD");
    return stored->data[0] | stored->data[1] << 8 | stored->data[2] << 16 | static_cast<std::uint32_t>(stored->data[3]) << 24;
}
