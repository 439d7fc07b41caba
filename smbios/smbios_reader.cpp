#include "smbios/smbios_reader.h"

#include <cstring>

#include "smbios/oem_strings_search.h"

bool SmbiosReader::Read() {
    // Everything up to the enumeration is held in locals: a read that gives up
    // on the way releases what it got, in reverse order, and leaves the
    // apartment again.
    ComApartment newApartment;
    lastStatus = newApartment.Join();
    if (FAILED(lastStatus)) return false;

    ComRef<IWbemLocator> newLocator;
    lastStatus = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  newLocator.ReceiveVoid());
    if (FAILED(lastStatus)) return false;

    ComRef<IWbemServices> newServices;
    lastStatus = newLocator->ConnectServer(Bstr(L"ROOT\\WMI").Get(), nullptr, nullptr, nullptr, 0, nullptr,
                                           nullptr, newServices.Receive());
    if (FAILED(lastStatus)) return false;

    lastStatus = CoSetProxyBlanket(newServices.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                   RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(lastStatus)) return false;

    ComRef<IEnumWbemClassObject> newEnumerator;
    lastStatus = newServices->CreateInstanceEnum(Bstr(L"MSSMBios_RawSMBiosTables").Get(), 0, nullptr,
                                                 newEnumerator.Receive());
    if (FAILED(lastStatus)) return false;

    // From here on the connection stays with the reader until it is destroyed.
    apartment = std::move(newApartment);
    locator = std::move(newLocator);
    services = std::move(newServices);
    enumerator = std::move(newEnumerator);
    return CopyFirstInstanceTable();
}

bool SmbiosReader::CopyFirstInstanceTable() {
    // Only the first instance is looked at.
    ComRef<IWbemClassObject> instance;
    ULONG returned = 0;
    lastStatus = enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, instance.Receive(), &returned);
    if (FAILED(lastStatus) || returned == 0 || !instance) return false;

    // Declared after the instance: cleared before the instance is released.
    Variant value;
    CIMTYPE type = 0;
    lastStatus = instance->Get(Bstr(L"SmbiosMajorVersion").Get(), 0, value.Receive(), &type, nullptr);
    if (FAILED(lastStatus)) return false;
    majorVersion = value.Get().bVal;

    lastStatus = instance->Get(Bstr(L"SmbiosMinorVersion").Get(), 0, value.Receive(), &type, nullptr);
    if (FAILED(lastStatus)) return false;
    minorVersion = value.Get().bVal;

    lastStatus = instance->Get(Bstr(L"SMBiosData").Get(), 0, value.Receive(), &type, nullptr);
    if (FAILED(lastStatus) || value.Get().vt != (VT_ARRAY | VT_UI1)) return false;

    const SAFEARRAY* array = value.Get().parray;
    if (array == nullptr) return false;
    const ULONG count = array->rgsabound[0].cElements;
    if (count > 0 && array->pvData == nullptr) return false;

    auto copy = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    if (count > 0) std::memcpy(copy.get(), array->pvData, count);
    tableData = std::move(copy);
    tableLength = count;
    return true;
}

std::optional<std::span<const std::uint8_t>> SmbiosReader::FindOemStrings() const {
    const auto table = Table();
    const auto offset = FindOemStringsOffset(table);
    if (!offset) return std::nullopt;
    return table.subspan(*offset);
}
