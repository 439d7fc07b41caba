#pragma once
// The stand-in's process-wide state, shared by its sources. Tests reach it
// only through fake_platform.h.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/standin/fake_platform.h"

namespace standin {

enum class Kind { Locator, Services, Enumerator, ClassObject };

// Base of every COM object the stand-in hands out. Objects stay allocated
// until the next Reset, so a Release too many is counted instead of touching
// freed memory.
struct Tracked {
    explicit Tracked(Kind k) : kind(k) {}
    virtual ~Tracked() = default;
    ULONG ReleaseReference();

    Kind kind;
    ULONG references = 1;
};

struct KeyHandle {
    std::wstring path;
};

struct State {
    WmiScript wmi;
    RegistryScript registry;
    LoaderScript loader;

    std::vector<std::unique_ptr<Tracked>> objects;
    std::size_t instancesHandedOut = 0;
    int comJoins = 0;
    int extraReleases = 0;
    int foreignFrees = 0;
    int foreignKeyCloses = 0;
    std::set<BSTR> liveStrings;
    std::set<SAFEARRAY*> liveArrays;
    std::vector<std::string> callTrace;

    std::vector<RegistryCall> registryCalls;
    std::set<std::wstring> keys;  // lower-cased full paths
    std::map<std::pair<std::wstring, std::wstring>, StoredValue> values;
    std::set<KeyHandle*> openKeys;
};

State& TheState();
const char* InterfaceName(Kind kind);
SAFEARRAY* ServeByteArray(const std::vector<std::uint8_t>& bytes);
void FreeAutomationObjects(State& state);
void Trace(std::string call);
std::string Narrow(const wchar_t* text);
std::wstring Lower(std::wstring text);
bool FailsAt(ReadStep step);

}  // namespace standin
