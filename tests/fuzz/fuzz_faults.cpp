// The first four input bytes pick platform faults, the rest is the table:
// whatever fails, every reference is released, COM is left as often as it was
// joined, every automation string is freed, and the exit status and stored
// value are as documented.
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/plain_model.h"

namespace {

constexpr HRESULT failures[] = {E_FAIL, RPC_E_CHANGED_MODE, WBEM_E_NOT_FOUND, static_cast<HRESULT>(0x80000000)};
constexpr VARTYPE dataTypes[] = {VT_ARRAY | VT_UI1, VT_NULL, VT_BSTR, VT_I4, VT_ARRAY | VT_I4, VT_EMPTY};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t stepPick = data[0];
    const std::uint8_t statusPick = data[1];
    const std::uint8_t shapePick = data[2];
    const std::uint8_t registryPick = data[3];
    const std::vector<std::uint8_t> table(data + 4, data + size);

    standin::WmiScript wmi;
    const bool readFails = stepPick % 12 < std::size(standin::allReadSteps);
    if (readFails) wmi.failingStep = standin::allReadSteps[stepPick % 12];
    wmi.failure = failures[statusPick % std::size(failures)];
    wmi.coInitializeSuccess = (statusPick & 0x80) != 0 ? S_FALSE : S_OK;
    wmi.smbiosDataType = dataTypes[shapePick % std::size(dataTypes)];
    wmi.versionType = (shapePick & 0x40) != 0 ? VT_BSTR : VT_UI1;
    const int instanceCount = (shapePick >> 4) % 3;
    wmi.instances.assign(static_cast<std::size_t>(instanceCount), table);

    standin::RegistryScript registry;
    if ((registryPick & 1) != 0) registry.openFailure = ERROR_ACCESS_DENIED;
    if ((registryPick & 2) != 0) registry.createFailure = ERROR_ACCESS_DENIED;
    if ((registryPick & 4) != 0) registry.writeFailure = ERROR_WRITE_FAULT;
    const bool keyExists = (registryPick & 8) != 0;
    const std::uint32_t before = (registryPick & 16) != 0 ? 1 : 7;

    standin::Reset(wmi, registry);
    if (keyExists) standin::SetStoredValue(serviceKeyPath, rotateValueName, {REG_DWORD, {static_cast<BYTE>(before), 0, 0, 0}});

    const int status = RunQuietly();

    const bool opened = keyExists && registry.openFailure == ERROR_SUCCESS;
    const bool created = !opened && registry.createFailure == ERROR_SUCCESS;
    const bool stored = (opened || created) && registry.writeFailure == ERROR_SUCCESS;
    Require(status == (stored ? 0 : 1), "exit status 1 exactly when Rotate could not be stored");
    const bool tableRead = !readFails && instanceCount > 0 && wmi.smbiosDataType == (VT_ARRAY | VT_UI1);
    const std::uint32_t expected = tableRead ? PlainModelRotateValue(table.data(), table.size()) : 0;
    if (stored) {
        Require(StoredRotate() == expected, "stored value as documented");
    } else {
        const std::optional<std::uint32_t> untouched = keyExists ? std::optional(before) : std::nullopt;
        Require(StoredRotate() == untouched, "nothing stored when the store failed");
    }
    Require(standin::CurrentBalance() == standin::Balance{}, "everything released");
    return 0;
}
