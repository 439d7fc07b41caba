// Automation strings, variants and the safe arrays WMI serves, with every
// allocation and free counted.
#include <cstring>

#include "platform/standin/fake_state.h"

using namespace standin;

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    const std::size_t length = std::wcslen(text);
    BSTR copy = new OLECHAR[length + 1];
    std::wmemcpy(copy, text, length + 1);
    TheState().liveStrings.insert(copy);
    return copy;
}

void SysFreeString(BSTR text) {
    if (text == nullptr) return;
    State& state = TheState();
    if (state.liveStrings.erase(text) == 0) {
        ++state.foreignFrees;
        return;
    }
    delete[] text;
}

void VariantInit(VARIANT* variant) { variant->vt = VT_EMPTY; }

HRESULT VariantClear(VARIANT* variant) {
    State& state = TheState();
    if (variant->vt == VT_BSTR) {
        SysFreeString(variant->bstrVal);
    } else if ((variant->vt & VT_ARRAY) != 0) {
        SAFEARRAY* array = variant->parray;
        if (state.liveArrays.erase(array) == 0) {
            ++state.foreignFrees;
        } else {
            delete[] static_cast<BYTE*>(array->pvData);
            delete array;
        }
    }
    variant->vt = VT_EMPTY;
    return S_OK;
}

namespace standin {

SAFEARRAY* ServeByteArray(const std::vector<std::uint8_t>& bytes) {
    auto* array = new SAFEARRAY{};
    array->cDims = 1;
    array->cbElements = 1;
    array->rgsabound[0].cElements = static_cast<ULONG>(bytes.size());
    if (!bytes.empty()) {
        auto* data = new BYTE[bytes.size()];
        std::memcpy(data, bytes.data(), bytes.size());
        array->pvData = data;
    }
    TheState().liveArrays.insert(array);
    return array;
}

void FreeAutomationObjects(State& state) {
    for (BSTR text : state.liveStrings) delete[] text;
    for (SAFEARRAY* array : state.liveArrays) {
        delete[] static_cast<BYTE*>(array->pvData);
        delete array;
    }
    state.liveStrings.clear();
    state.liveArrays.clear();
}

}  // namespace standin
