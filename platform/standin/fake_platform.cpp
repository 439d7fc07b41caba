#include "platform/standin/fake_state.h"

#include <cwctype>

namespace standin {

State& TheState() {
    static State state;
    return state;
}

const char* InterfaceName(Kind kind) {
    switch (kind) {
        case Kind::Locator: return "IWbemLocator";
        case Kind::Services: return "IWbemServices";
        case Kind::Enumerator: return "IEnumWbemClassObject";
        case Kind::ClassObject: return "IWbemClassObject";
    }
    return "?";
}

ULONG Tracked::ReleaseReference() {
    State& state = TheState();
    if (references == 0) {
        ++state.extraReleases;
        return 0;
    }
    Trace(std::string("Release(") + InterfaceName(kind) + ")");
    return --references;
}

std::string Narrow(const wchar_t* text) {
    if (text == nullptr) return "null";
    std::string narrow;
    for (; *text != L'\0'; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return text;
}

void Trace(std::string call) { TheState().callTrace.push_back(std::move(call)); }

bool FailsAt(ReadStep step) { return TheState().wmi.failingStep == step; }

const char* Name(ReadStep step) {
    switch (step) {
        case ReadStep::CoInitializeEx: return "CoInitializeEx";
        case ReadStep::CoCreateInstance: return "CoCreateInstance";
        case ReadStep::ConnectServer: return "ConnectServer";
        case ReadStep::CoSetProxyBlanket: return "CoSetProxyBlanket";
        case ReadStep::CreateInstanceEnum: return "CreateInstanceEnum";
        case ReadStep::Next: return "Next";
        case ReadStep::GetMajorVersion: return "Get(SmbiosMajorVersion)";
        case ReadStep::GetMinorVersion: return "Get(SmbiosMinorVersion)";
        case ReadStep::GetSmbiosData: return "Get(SMBiosData)";
    }
    return "?";
}

void Reset(WmiScript wmi, RegistryScript registry, LoaderScript loader) {
    State& state = TheState();
    FreeAutomationObjects(state);
    for (KeyHandle* key : state.openKeys) delete key;
    state = State{};
    state.wmi = std::move(wmi);
    state.registry = registry;
    state.loader = loader;
    state.keys.insert(L"system\\currentcontrolset\\services");
}

void SetStoredValue(const std::wstring& keyPath, const std::wstring& valueName, StoredValue value) {
    State& state = TheState();
    state.keys.insert(Lower(keyPath));
    state.values[{Lower(keyPath), Lower(valueName)}] = std::move(value);
}

std::wstring Lowered(const std::wstring& keyPath) { return Lower(keyPath); }

const std::vector<std::string>& CallTrace() { return TheState().callTrace; }
const std::vector<RegistryCall>& RegistryCalls() { return TheState().registryCalls; }
bool KeyExists(const std::wstring& keyPath) { return TheState().keys.contains(Lower(keyPath)); }

std::optional<StoredValue> StoredValueOf(const std::wstring& keyPath, const std::wstring& valueName) {
    const State& state = TheState();
    const auto found = state.values.find({Lower(keyPath), Lower(valueName)});
    if (found == state.values.end()) return std::nullopt;
    return found->second;
}

void PrintTo(const Balance& b, std::ostream* out) {
    *out << "{locators " << b.liveLocators << ", services " << b.liveServices << ", enumerators "
         << b.liveEnumerators << ", class objects " << b.liveClassObjects << ", extra releases " << b.extraReleases
         << ", COM joins " << b.comJoins << ", strings " << b.liveStrings << ", arrays " << b.liveArrays
         << ", foreign frees " << b.foreignFrees << ", open keys " << b.openKeys << ", foreign key closes "
         << b.foreignKeyCloses << "}";
}

Balance CurrentBalance() {
    const State& state = TheState();
    Balance balance;
    for (const auto& object : state.objects) {
        if (object->references == 0) continue;
        switch (object->kind) {
            case Kind::Locator: ++balance.liveLocators; break;
            case Kind::Services: ++balance.liveServices; break;
            case Kind::Enumerator: ++balance.liveEnumerators; break;
            case Kind::ClassObject: ++balance.liveClassObjects; break;
        }
    }
    balance.extraReleases = state.extraReleases;
    balance.comJoins = state.comJoins;
    balance.liveStrings = static_cast<int>(state.liveStrings.size());
    balance.liveArrays = static_cast<int>(state.liveArrays.size());
    balance.foreignFrees = state.foreignFrees;
    balance.openKeys = static_cast<int>(state.openKeys.size());
    balance.foreignKeyCloses = state.foreignKeyCloses;
    return balance;
}

}  // namespace standin
