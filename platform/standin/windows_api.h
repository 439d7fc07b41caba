#pragma once
// Stand-in declarations of the Windows names the tool uses, with the same
// spellings, signatures and constant values, so that the tool's sources build
// unchanged on a host without Windows. Only what the tool calls is declared.
// The behaviour behind them lives in the stand-in's sources and is scripted by
// tests through platform/standin/fake_platform.h.

#include <cstdint>

// Scalar types (Windows' LONG and long are 32 bits wide).
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using USHORT = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using HRESULT = std::int32_t;
using LSTATUS = LONG;
using REGSAM = DWORD;
using VARTYPE = std::uint16_t;
using CIMTYPE = LONG;
using OLECHAR = wchar_t;
using LPCWSTR = const wchar_t*;
using LPWSTR = wchar_t*;
using BSTR = OLECHAR*;
using BOOL = int;
using UINT = unsigned int;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

// The calling convention of Windows' own functions; one convention here.
#define WINAPI

#define SUCCEEDED(status) (static_cast<HRESULT>(status) >= 0)
#define FAILED(status) (static_cast<HRESULT>(status) < 0)

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);
inline constexpr HRESULT WBEM_E_NOT_FOUND = static_cast<HRESULT>(0x80041002);
inline constexpr HRESULT WBEM_E_INVALID_NAMESPACE = static_cast<HRESULT>(0x8004100E);
inline constexpr HRESULT WBEM_E_INVALID_CLASS = static_cast<HRESULT>(0x80041010);

// COM library.
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

struct IUnknown {
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

enum : DWORD { COINIT_MULTITHREADED = 0 };
enum : DWORD { CLSCTX_INPROC_SERVER = 1 };
enum : DWORD { RPC_C_AUTHN_WINNT = 10 };
enum : DWORD { RPC_C_AUTHZ_NONE = 0 };
enum : DWORD { RPC_C_AUTHN_LEVEL_CALL = 3 };
enum : DWORD { RPC_C_IMP_LEVEL_IMPERSONATE = 3 };
enum : DWORD { EOAC_NONE = 0 };
using RPC_AUTH_IDENTITY_HANDLE = void*;

HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID iid, void** object);
HRESULT CoSetProxyBlanket(IUnknown* proxy, DWORD authnSvc, DWORD authzSvc, OLECHAR* serverPrincName,
                          DWORD authnLevel, DWORD impLevel, RPC_AUTH_IDENTITY_HANDLE authInfo,
                          DWORD capabilities);

// OLE Automation.
enum : VARTYPE { VT_EMPTY = 0, VT_NULL = 1, VT_I4 = 3, VT_BSTR = 8, VT_UI1 = 17, VT_ARRAY = 0x2000 };

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        BYTE bVal;
        LONG lVal;
        BSTR bstrVal;
        SAFEARRAY* parray;
    };
};

BSTR SysAllocString(const OLECHAR* text);
void SysFreeString(BSTR text);
void VariantInit(VARIANT* variant);
HRESULT VariantClear(VARIANT* variant);

// Windows Management Instrumentation.
enum : std::uint32_t { WBEM_INFINITE = 0xFFFFFFFF };

struct IWbemContext;

struct IWbemClassObject : IUnknown {
    virtual HRESULT Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) = 0;
};
struct IEnumWbemClassObject : IUnknown {
    virtual HRESULT Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) = 0;
};
struct IWbemServices : IUnknown {
    virtual HRESULT CreateInstanceEnum(const BSTR className, LONG flags, IWbemContext* context,
                                       IEnumWbemClassObject** enumerator) = 0;
};
struct IWbemLocator : IUnknown {
    virtual HRESULT ConnectServer(const BSTR networkResource, const BSTR user, const BSTR password,
                                  const BSTR locale, LONG securityFlags, const BSTR authority,
                                  IWbemContext* context, IWbemServices** services) = 0;
};

extern const CLSID CLSID_WbemLocator;
extern const IID IID_IWbemLocator;

// Process set-up and the DLL loader.
enum : UINT { SEM_FAILCRITICALERRORS = 0x0001, SEM_NOGPFAULTERRORBOX = 0x0002, SEM_NOOPENFILEERRORBOX = 0x8000 };
enum : DWORD { LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800 };
struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using FARPROC = std::intptr_t(WINAPI*)();

UINT SetErrorMode(UINT mode);
HMODULE GetModuleHandleW(LPCWSTR moduleName);
FARPROC GetProcAddress(HMODULE module, const char* procName);
BOOL SetDllDirectoryW(LPCWSTR pathName);

// Registry.
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

extern const HKEY HKEY_LOCAL_MACHINE;

enum : LSTATUS {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_WRITE_FAULT = 29,
};
enum : REGSAM { KEY_WRITE = 0x20006 };
enum : DWORD { REG_OPTION_NON_VOLATILE = 0 };
enum : DWORD { REG_DWORD = 4 };

LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, DWORD* disposition);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegCloseKey(HKEY key);
