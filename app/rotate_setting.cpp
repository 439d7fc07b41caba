#include "app/rotate_setting.h"

namespace {

// An open registry key, closed once when the owner goes away.
class RegistryKey {
public:
    explicit RegistryKey(HKEY opened) : handle(opened) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { RegCloseKey(handle); }

    HKEY Get() const { return handle; }

private:
    HKEY handle;
};

}  // namespace

LSTATUS StoreRotateValue(std::uint32_t rotateValue) {
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, serviceKeyPath, 0, KEY_WRITE, &opened);
    if (status != ERROR_SUCCESS) {
        // Missing, or not openable as it stands: create it (this opens it when
        // it exists after all).
        opened = nullptr;
        wchar_t noClass[] = L"";
        status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, serviceKeyPath, 0, noClass, REG_OPTION_NON_VOLATILE,
                                 KEY_WRITE, nullptr, &opened, nullptr);
        if (status != ERROR_SUCCESS) return status;
    }
    const RegistryKey key(opened);

    // REG_DWORD data is little-endian on every Windows.
    const BYTE data[4] = {
        static_cast<BYTE>(rotateValue),
        static_cast<BYTE>(rotateValue >> 8),
        static_cast<BYTE>(rotateValue >> 16),
        static_cast<BYTE>(rotateValue >> 24),
    };
    return RegSetValueExW(key.Get(), rotateValueName, 0, REG_DWORD, data, sizeof data);
}
