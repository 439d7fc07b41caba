#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/com.h"
#include "platform/platform.h"

// Fetches the machine's raw SMBIOS structure table through WMI
// (ROOT\WMI, MSSMBios_RawSMBiosTables, first instance) and keeps a private
// copy of it. Holds its WMI connection and COM apartment membership from a
// read that got as far as an enumeration until it is destroyed.
class SmbiosReader {
public:
    SmbiosReader() = default;
    SmbiosReader(const SmbiosReader&) = delete;
    SmbiosReader& operator=(const SmbiosReader&) = delete;

    // True exactly when the table was copied. Call once.
    bool Read();

    // The first OEM Strings structure: its bytes from the type byte to the end
    // of the table, or nothing. Valid while the reader lives.
    std::optional<std::span<const std::uint8_t>> FindOemStrings() const;

    std::span<const std::uint8_t> Table() const { return {tableData.get(), tableLength}; }
    HRESULT LastStatus() const { return lastStatus; }

private:
    bool CopyFirstInstanceTable();

    std::uint8_t majorVersion = 0;
    std::uint8_t minorVersion = 0;
    std::unique_ptr<std::uint8_t[]> tableData;
    std::uint32_t tableLength = 0;
    HRESULT lastStatus = S_OK;
    // Destroyed in reverse order: enumerator, services, locator, then the
    // apartment is left, then the table freed.
    ComApartment apartment;
    ComRef<IWbemLocator> locator;
    ComRef<IWbemServices> services;
    ComRef<IEnumWbemClassObject> enumerator;
};
