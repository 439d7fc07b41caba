#include "app/run.h"

#include <string>

#include "app/rotate_setting.h"
#include "app/rotation_rule.h"
#include "smbios/smbios_reader.h"

namespace {

std::string Narrow(const wchar_t* ascii) {
    std::string text;
    for (; *ascii != L'\0'; ++ascii) text += static_cast<char>(*ascii);
    return text;
}

}  // namespace

int RunRotation(std::FILE* diagnostics) {
    SmbiosReader reader;
    // Deliberately not consulted: an unreadable table leaves the reader empty,
    // so no OEM Strings structure is found and 0 is stored.
    static_cast<void>(reader.Read());
    const std::uint32_t rotateValue = RotateValueFor(reader.FindOemStrings());

    const LSTATUS status = StoreRotateValue(rotateValue);
    if (status != ERROR_SUCCESS) {
        std::fprintf(diagnostics, "zi370-rotate: could not store %s in HKEY_LOCAL_MACHINE\\%s: Windows error %ld\n",
                     Narrow(rotateValueName).c_str(), Narrow(serviceKeyPath).c_str(), static_cast<long>(status));
        return 1;
    }
    return 0;
}
