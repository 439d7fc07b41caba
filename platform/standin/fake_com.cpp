// COM activation and the WMI objects behind MSSMBios_RawSMBiosTables, each
// call traced and each object's references counted.
#include <string>

#include "platform/standin/fake_state.h"

using namespace standin;

const CLSID CLSID_WbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
const IID IID_IWbemLocator = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

namespace {

// A string WMI takes as BSTR, marked when it is anything else.
std::string Text(const wchar_t* text) {
    const bool isAutomationString = text != nullptr && TheState().liveStrings.contains(const_cast<BSTR>(text));
    return Narrow(text) + (text == nullptr || isAutomationString ? "" : " (not a BSTR)");
}

std::string Pointer(const void* pointer) { return pointer == nullptr ? "null" : "given"; }

template <typename Object, typename... Args>
Object* Make(Args&&... args) {
    auto object = std::make_unique<Object>(std::forward<Args>(args)...);
    Object* raw = object.get();
    TheState().objects.push_back(std::move(object));
    return raw;
}

struct FakeClassObject final : IWbemClassObject, Tracked {
    explicit FakeClassObject(std::vector<std::uint8_t> servedTable)
        : Tracked(Kind::ClassObject), table(std::move(servedTable)) {}
    ULONG Release() override { return ReleaseReference(); }

    HRESULT Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
        Trace("Get(" + Text(name) + ", " + std::to_string(flags) + ", type " + Pointer(type) + ", flavor " +
              Pointer(flavor) + ")");
        const WmiScript& wmi = TheState().wmi;
        const std::wstring property = Lower(name == nullptr ? L"" : name);
        const bool major = property == L"smbiosmajorversion";
        const bool minor = property == L"smbiosminorversion";
        const bool data = property == L"smbiosdata";
        if (!major && !minor && !data) return WBEM_E_NOT_FOUND;
        if ((major && FailsAt(ReadStep::GetMajorVersion)) || (minor && FailsAt(ReadStep::GetMinorVersion)) ||
            (data && FailsAt(ReadStep::GetSmbiosData)))
            return wmi.failure;

        if (data) {
            if (type != nullptr) *type = 0x2011;  // CIM_UINT8 | CIM_FLAG_ARRAY
            ServeAs(value, wmi.smbiosDataType, 0x5A);
        } else {
            if (type != nullptr) *type = 17;  // CIM_UINT8
            ServeAs(value, wmi.versionType, major ? 3 : 4);
        }
        return S_OK;
    }

    void ServeAs(VARIANT* value, VARTYPE vt, BYTE number) const {
        value->vt = vt;
        if ((vt & VT_ARRAY) != 0) {
            value->parray = ServeByteArray(table);
        } else if (vt == VT_BSTR) {
            value->bstrVal = SysAllocString(L"3.4");
        } else if (vt == VT_I4) {
            value->lVal = number;
        } else if (vt == VT_UI1) {
            value->bVal = number;
        }
    }

    std::vector<std::uint8_t> table;
};

struct FakeEnumerator final : IEnumWbemClassObject, Tracked {
    FakeEnumerator() : Tracked(Kind::Enumerator) {}
    ULONG Release() override { return ReleaseReference(); }

    HRESULT Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
        Trace("Next(" + std::to_string(timeout) + ", " + std::to_string(count) + ")");
        State& state = TheState();
        if (objects == nullptr || returned == nullptr) return E_POINTER;
        if (FailsAt(ReadStep::Next)) return state.wmi.failure;
        *returned = 0;
        if (count == 0 || state.instancesHandedOut >= state.wmi.instances.size()) return S_FALSE;
        objects[0] = Make<FakeClassObject>(state.wmi.instances[state.instancesHandedOut++]);
        *returned = 1;
        return count == 1 ? S_OK : S_FALSE;
    }
};

struct FakeServices final : IWbemServices, Tracked {
    FakeServices() : Tracked(Kind::Services) {}
    ULONG Release() override { return ReleaseReference(); }

    HRESULT CreateInstanceEnum(const BSTR className, LONG flags, IWbemContext* context,
                               IEnumWbemClassObject** enumerator) override {
        Trace("CreateInstanceEnum(" + Text(className) + ", " + std::to_string(flags) + ", " + Pointer(context) + ")");
        if (enumerator == nullptr) return E_POINTER;
        if (FailsAt(ReadStep::CreateInstanceEnum)) return TheState().wmi.failure;
        if (className == nullptr || Lower(className) != L"mssmbios_rawsmbiostables") return WBEM_E_INVALID_CLASS;
        *enumerator = Make<FakeEnumerator>();
        return S_OK;
    }
};

struct FakeLocator final : IWbemLocator, Tracked {
    FakeLocator() : Tracked(Kind::Locator) {}
    ULONG Release() override { return ReleaseReference(); }

    HRESULT ConnectServer(const BSTR networkResource, const BSTR user, const BSTR password, const BSTR locale,
                          LONG securityFlags, const BSTR authority, IWbemContext* context,
                          IWbemServices** services) override {
        Trace("ConnectServer(" + Text(networkResource) + ", " + Narrow(user) + ", " + Narrow(password) + ", " +
              Narrow(locale) + ", " + std::to_string(securityFlags) + ", " + Narrow(authority) + ", " +
              Pointer(context) + ")");
        if (services == nullptr) return E_POINTER;
        if (FailsAt(ReadStep::ConnectServer)) return TheState().wmi.failure;
        if (networkResource == nullptr || Lower(networkResource) != L"root\\wmi") return WBEM_E_INVALID_NAMESPACE;
        *services = Make<FakeServices>();
        return S_OK;
    }
};

const char* KindName(IUnknown* object) {
    const auto* tracked = dynamic_cast<Tracked*>(object);
    if (tracked == nullptr) return "null";
    return InterfaceName(tracked->kind);
}

}  // namespace

HRESULT CoInitializeEx(void* reserved, DWORD coInit) {
    Trace("CoInitializeEx(" + Pointer(reserved) + ", " + std::to_string(coInit) + ")");
    State& state = TheState();
    if (FailsAt(ReadStep::CoInitializeEx)) return state.wmi.failure;
    ++state.comJoins;
    return state.wmi.coInitializeSuccess;
}

void CoUninitialize() {
    Trace("CoUninitialize()");
    --TheState().comJoins;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID iid, void** object) {
    Trace(std::string("CoCreateInstance(") + (clsid == CLSID_WbemLocator ? "WbemLocator" : "another class") + ", " +
          Pointer(outer) + ", " + std::to_string(clsContext) + ", " +
          (iid == IID_IWbemLocator ? "IWbemLocator" : "another interface") + ")");
    State& state = TheState();
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (state.comJoins <= 0) return CO_E_NOTINITIALIZED;
    if (FailsAt(ReadStep::CoCreateInstance)) return state.wmi.failure;
    if (!(clsid == CLSID_WbemLocator) || (clsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    if (!(iid == IID_IWbemLocator)) return E_NOINTERFACE;
    *object = static_cast<IWbemLocator*>(Make<FakeLocator>());
    return S_OK;
}

HRESULT CoSetProxyBlanket(IUnknown* proxy, DWORD authnSvc, DWORD authzSvc, OLECHAR* serverPrincName,
                          DWORD authnLevel, DWORD impLevel, RPC_AUTH_IDENTITY_HANDLE authInfo,
                          DWORD capabilities) {
    Trace(std::string("CoSetProxyBlanket(") + KindName(proxy) + ", " + std::to_string(authnSvc) + ", " +
          std::to_string(authzSvc) + ", " + Narrow(serverPrincName) + ", " + std::to_string(authnLevel) + ", " +
          std::to_string(impLevel) + ", " + Pointer(authInfo) + ", " + std::to_string(capabilities) + ")");
    if (proxy == nullptr) return E_INVALIDARG;
    if (FailsAt(ReadStep::CoSetProxyBlanket)) return TheState().wmi.failure;
    return S_OK;
}
