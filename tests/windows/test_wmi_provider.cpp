// A WMI provider for end-to-end tests under Wine, never shipped: an
// in-process COM server registered in a test prefix as CLSID_WbemLocator. It
// serves MSSMBios_RawSMBiosTables in ROOT\WMI with the tables and faults a
// test chooses through environment variables, and keeps a report of the
// objects it handed out that are still referenced.
//
//   ZI370_TEST_WMI_TABLES  instances, comma-separated, each a table in hex or
//                          "empty" (0 bytes); unset or empty: no instance
//   ZI370_TEST_WMI_FAULT   the call that fails: ConnectServer,
//                          CoSetProxyBlanket, CreateInstanceEnum, Next,
//                          SmbiosMajorVersion, SmbiosMinorVersion, SMBiosData
//   ZI370_TEST_WMI_DATA    SMBiosData served as "array" (default), "null" or "string"
//   ZI370_TEST_WMI_REPORT  file that always holds
//                          "live=N created=M errormode=E planted=P"
//
// errormode and planted tell how the process that activated the provider had
// set itself up by then: its error mode, and whether a LoadLibrary of a DLL
// by bare name (zi370_planted.dll, which the test puts beside the
// executable) loaded it: 1 when the executable's folder is searched.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// WMI's status codes are an unsigned enumeration; an HRESULT is signed.
constexpr HRESULT Status(WBEMSTATUS status) { return static_cast<HRESULT>(status); }
constexpr HRESULT injectedFailure = Status(WBEM_E_ACCESS_DENIED);

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool FaultIs(const char* call) { return Setting("ZI370_TEST_WMI_FAULT") == call; }

std::vector<std::vector<BYTE>> Instances() {
    std::vector<std::vector<BYTE>> instances;
    const std::string text = Setting("ZI370_TEST_WMI_TABLES");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(start, end - start);
        std::vector<BYTE>& table = instances.emplace_back();
        if (item != "empty") {
            for (std::size_t i = 0; i + 1 < item.size(); i += 2)
                table.push_back(static_cast<BYTE>(std::strtoul(item.substr(i, 2).c_str(), nullptr, 16)));
        }
        start = end + 1;
    }
    return instances;
}

// Objects handed out and not yet released to zero, across the process.
LONG liveObjects = 0;
LONG createdObjects = 0;
// The activating process's set-up, as seen when it asked for the locator.
UINT activatorErrorMode = 0;
int plantedLoaded = -1;

void ObserveActivator() {
    activatorErrorMode = GetErrorMode();
    HMODULE planted = LoadLibraryW(L"zi370_planted.dll");
    plantedLoaded = planted != nullptr ? 1 : 0;
    if (planted != nullptr) FreeLibrary(planted);
}

void WriteReport() {
    const std::string path = Setting("ZI370_TEST_WMI_REPORT");
    if (path.empty()) return;
    if (std::FILE* report = std::fopen(path.c_str(), "w")) {
        std::fprintf(report, "live=%ld created=%ld errormode=%u planted=%d\n", static_cast<long>(liveObjects),
                     static_cast<long>(createdObjects), activatorErrorMode, plantedLoaded);
        std::fclose(report);
    }
}

// Reference counting and QueryInterface for an object implementing Primary,
// and optionally one more interface, besides IUnknown.
template <typename Primary>
class Counted : public Primary {
public:
    Counted(REFIID primaryId, REFIID secondaryId = IID_IUnknown) : primary(primaryId), secondary(secondaryId) {
        InterlockedIncrement(&liveObjects);
        InterlockedIncrement(&createdObjects);
        WriteReport();
    }
    virtual ~Counted() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, primary)) {
            *object = static_cast<Primary*>(this);
        } else if (!IsEqualIID(secondary, IID_IUnknown) && IsEqualIID(iid, secondary)) {
            *object = SecondaryInterface();
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0) {
            InterlockedDecrement(&liveObjects);
            WriteReport();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    virtual void* SecondaryInterface() { return nullptr; }

private:
    LONG references = 1;
    IID primary;
    IID secondary;
};

#define NOT_SUPPORTED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return Status(WBEM_E_NOT_SUPPORTED); }

class ClassObject final : public Counted<IWbemClassObject> {
public:
    explicit ClassObject(std::vector<BYTE> served) : Counted(IID_IWbemClassObject), table(std::move(served)) {}

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
        if (name == nullptr || value == nullptr) return Status(WBEM_E_INVALID_PARAMETER);
        const bool major = lstrcmpiW(name, L"SmbiosMajorVersion") == 0;
        const bool minor = lstrcmpiW(name, L"SmbiosMinorVersion") == 0;
        const bool data = lstrcmpiW(name, L"SMBiosData") == 0;
        if (!major && !minor && !data) return Status(WBEM_E_NOT_FOUND);
        if ((major && FaultIs("SmbiosMajorVersion")) || (minor && FaultIs("SmbiosMinorVersion")) ||
            (data && FaultIs("SMBiosData")))
            return injectedFailure;
        if (flavor != nullptr) *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
        VariantInit(value);
        if (!data) {
            if (type != nullptr) *type = CIM_UINT8;
            value->vt = VT_UI1;
            value->bVal = major ? 3 : 4;
            return WBEM_S_NO_ERROR;
        }
        if (type != nullptr) *type = CIM_UINT8 | CIM_FLAG_ARRAY;
        const std::string shape = Setting("ZI370_TEST_WMI_DATA");
        if (shape == "null") {
            value->vt = VT_NULL;
        } else if (shape == "string") {
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(L"not a table");
        } else {
            SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(table.size()));
            if (array == nullptr) return Status(WBEM_E_OUT_OF_MEMORY);
            void* bytes = nullptr;
            if (!table.empty() && SUCCEEDED(SafeArrayAccessData(array, &bytes))) {
                std::memcpy(bytes, table.data(), table.size());
                SafeArrayUnaccessData(array);
            }
            value->vt = VT_ARRAY | VT_UI1;
            value->parray = array;
        }
        return WBEM_S_NO_ERROR;
    }

    NOT_SUPPORTED(GetQualifierSet, IWbemQualifierSet**)
    NOT_SUPPORTED(Put, LPCWSTR, LONG, VARIANT*, CIMTYPE)
    NOT_SUPPORTED(Delete, LPCWSTR)
    NOT_SUPPORTED(GetNames, LPCWSTR, LONG, VARIANT*, SAFEARRAY**)
    NOT_SUPPORTED(BeginEnumeration, LONG)
    NOT_SUPPORTED(Next, LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*)
    NOT_SUPPORTED(EndEnumeration)
    NOT_SUPPORTED(GetPropertyQualifierSet, LPCWSTR, IWbemQualifierSet**)
    NOT_SUPPORTED(Clone, IWbemClassObject**)
    NOT_SUPPORTED(GetObjectText, LONG, BSTR*)
    NOT_SUPPORTED(SpawnDerivedClass, LONG, IWbemClassObject**)
    NOT_SUPPORTED(SpawnInstance, LONG, IWbemClassObject**)
    NOT_SUPPORTED(CompareTo, LONG, IWbemClassObject*)
    NOT_SUPPORTED(GetPropertyOrigin, LPCWSTR, BSTR*)
    NOT_SUPPORTED(InheritsFrom, LPCWSTR)
    NOT_SUPPORTED(GetMethod, LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**)
    NOT_SUPPORTED(PutMethod, LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*)
    NOT_SUPPORTED(DeleteMethod, LPCWSTR)
    NOT_SUPPORTED(BeginMethodEnumeration, LONG)
    NOT_SUPPORTED(NextMethod, LONG, BSTR*, IWbemClassObject**, IWbemClassObject**)
    NOT_SUPPORTED(EndMethodEnumeration)
    NOT_SUPPORTED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet**)
    NOT_SUPPORTED(GetMethodOrigin, LPCWSTR, BSTR*)

private:
    std::vector<BYTE> table;
};

class Enumerator final : public Counted<IEnumWbemClassObject> {
public:
    Enumerator() : Counted(IID_IEnumWbemClassObject), instances(Instances()) {}

    HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
        if (objects == nullptr || returned == nullptr) return Status(WBEM_E_INVALID_PARAMETER);
        *returned = 0;
        if (FaultIs("Next")) return injectedFailure;
        ULONG given = 0;
        for (; given < count && position < instances.size(); ++given)
            objects[given] = new ClassObject(instances[position++]);
        *returned = given;
        return given == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position = 0;
        return WBEM_S_NO_ERROR;
    }
    NOT_SUPPORTED(NextAsync, ULONG, IWbemObjectSink*)
    NOT_SUPPORTED(Clone, IEnumWbemClassObject**)
    NOT_SUPPORTED(Skip, LONG, ULONG)

private:
    std::vector<std::vector<BYTE>> instances;
    std::size_t position = 0;
};

// CoSetProxyBlanket asks the object for IClientSecurity.
class Services final : public Counted<IWbemServices>, public IClientSecurity {
public:
    Services() : Counted(IID_IWbemServices, IID_IClientSecurity) {}

    // IClientSecurity's IUnknown is this object's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Counted::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Counted::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Counted::Release(); }

    HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, void*, DWORD) override {
        return FaultIs("CoSetProxyBlanket") ? injectedFailure : S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*, void**,
                                           DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR className, LONG, IWbemContext*,
                                                 IEnumWbemClassObject** enumerator) override {
        if (enumerator == nullptr) return Status(WBEM_E_INVALID_PARAMETER);
        *enumerator = nullptr;
        if (FaultIs("CreateInstanceEnum")) return injectedFailure;
        if (className == nullptr || lstrcmpiW(className, L"MSSMBios_RawSMBiosTables") != 0)
            return Status(WBEM_E_INVALID_CLASS);
        *enumerator = new Enumerator();
        return WBEM_S_NO_ERROR;
    }

    NOT_SUPPORTED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**)
    NOT_SUPPORTED(CancelAsyncCall, IWbemObjectSink*)
    NOT_SUPPORTED(QueryObjectSink, LONG, IWbemObjectSink**)
    NOT_SUPPORTED(GetObject, const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**)
    NOT_SUPPORTED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    NOT_SUPPORTED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
    NOT_SUPPORTED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(ExecQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    NOT_SUPPORTED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
    NOT_SUPPORTED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
    NOT_SUPPORTED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**,
                  IWbemCallResult**)
    NOT_SUPPORTED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*)

protected:
    void* SecondaryInterface() override { return static_cast<IClientSecurity*>(this); }
};

class Locator final : public Counted<IWbemLocator> {
public:
    Locator() : Counted(IID_IWbemLocator) {}

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR, const BSTR, const BSTR, LONG, const BSTR,
                                            IWbemContext*, IWbemServices** services) override {
        if (services == nullptr) return Status(WBEM_E_INVALID_PARAMETER);
        *services = nullptr;
        if (FaultIs("ConnectServer")) return injectedFailure;
        if (resource == nullptr || lstrcmpiW(resource, L"ROOT\\WMI") != 0) return Status(WBEM_E_INVALID_NAMESPACE);
        *services = new Services();
        return WBEM_S_NO_ERROR;
    }
};

// The factory lives as long as the DLL and is not counted: it is COM's, not
// the tool's.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        ObserveActivator();
        auto* locator = new Locator();
        const HRESULT status = locator->QueryInterface(iid, object);
        locator->Release();
        return status;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_WbemLocator)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
