#include "shellext/MarrowgateModule.h"

#include "shellext/ClassFactory.h"
#include "shellext/ContextMenuExtension.h"
#include "shellext/DragAndDropExtension.h"
#include "shellext/Guids.h"
#include "shellext/Handles.h"
#include "shellext/Registrar.h"
#include "shellext/SystemVersion.h"
#include "shellext/Texts.h"
#include "shellext/res/resource.h"

#include <new>
#include <string>

namespace Marrowgate {
namespace {

// Sets the thread locale for one scope and puts the previous one back.
class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(LCID locale) noexcept : previous(::GetThreadLocale()) {
        ::SetThreadLocale(locale);
    }
    ~ThreadLocaleScope() { ::SetThreadLocale(previous); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

private:
    LCID previous;
};

// The module's full path as the loader reports it, however long.
std::wstring ModulePath(HINSTANCE instance) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(instance, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        // A path that filled the buffer may have been cut: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40];
    const int length = ::StringFromGUID2(guid, text, sizeof(text) / sizeof(text[0]));
    return length > 0 ? std::wstring(text) : std::wstring();
}

// A REGISTRY resource of the module as text; the scripts are stored as UTF-8.
bool LoadScript(HINSTANCE instance, UINT id, std::wstring& text) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (resource == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const DWORD size = ::SizeofResource(instance, resource);
    const char* bytes = loaded != nullptr ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (bytes == nullptr) return false;
    text.clear();
    if (size == 0) return true;
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
    if (length <= 0) return false;
    text.resize(static_cast<std::size_t>(length));
    return ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), &text[0], length) == length;
}

// Opens the approved-extensions key and sets or deletes one class's value.
LONG WriteApprovedValue(const ClassEntry& entry) {
    UniqueKey key;
    LONG result = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApprovedExtensionsKeyPath, 0, KEY_SET_VALUE, key.put());
    if (result != ERROR_SUCCESS) return result;
    const std::wstring name = GuidText(*entry.clsid);
    const std::wstring data = entry.handlerName;
    return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void DeleteApprovedValue(const ClassEntry& entry) {
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApprovedExtensionsKeyPath, 0, KEY_SET_VALUE, key.put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueW(key.get(), GuidText(*entry.clsid).c_str());
    }
}

CMarrowgateModule theModule;

}  // namespace

CMarrowgateModule& Module() noexcept {
    return theModule;
}

CMarrowgateModule::CMarrowgateModule() noexcept
    : moduleLock(),
      classTable{
          {&kClsidContextMenuExtension, IDR_CONTEXT_MENU_EXTENSION, &CreateContextMenuExtension, L"ApplicationContextMenuExtension",
           nullptr},
          {&kClsidDragAndDropExtension, IDR_DRAG_AND_DROP_EXTENSION, &CreateDragAndDropExtension, L"ApplicationDragAndDropExtension",
           nullptr},
      },
      appId(&kAppIdMarrowgate),
      appIdScript(IDR_MARROWGATE_APPID) {}

bool CMarrowgateModule::Attach(HINSTANCE module) noexcept {
    instance = module;
    if (!moduleLockCreated) {
        moduleLockCreated = ::InitializeCriticalSectionAndSpinCount(&moduleLock, 0) != FALSE;
    }
    return moduleLockCreated;
}

void CMarrowgateModule::Detach() noexcept {
    for (ClassEntry& entry : classTable) {
        // A factory a client still holds (other code's clean-up at process
        // exit may yet release it) is left alive rather than freed under it.
        if (entry.factory != nullptr && !entry.factory->Held()) delete entry.factory;
        entry.factory = nullptr;
    }
    if (moduleLockCreated) {
        ::DeleteCriticalSection(&moduleLock);
        moduleLockCreated = false;
    }
}

void CMarrowgateModule::AddObject() noexcept {
    ::InterlockedIncrement(&objectCount);
}

void CMarrowgateModule::ReleaseObject() noexcept {
    ::InterlockedDecrement(&objectCount);
}

void CMarrowgateModule::Lock() noexcept {
    ::InterlockedIncrement(&lockCount);
}

void CMarrowgateModule::Unlock() noexcept {
    ::InterlockedDecrement(&lockCount);
}

HRESULT CMarrowgateModule::CanUnloadNow() const noexcept {
    return objectCount == 0 && lockCount == 0 ? S_OK : S_FALSE;
}

HRESULT CMarrowgateModule::GetClassObject(REFCLSID clsid, REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (ClassEntry& entry : classTable) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        if (!moduleLockCreated) return E_UNEXPECTED;
        ::EnterCriticalSection(&moduleLock);
        if (entry.factory == nullptr) entry.factory = new (std::nothrow) CClassFactory(entry.creator);
        CClassFactory* factory = entry.factory;
        ::LeaveCriticalSection(&moduleLock);
        if (factory == nullptr) return E_OUTOFMEMORY;
        return factory->QueryInterface(interfaceId, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CMarrowgateModule::ApplyScript(UINT scriptId, bool registering) const {
    std::wstring text;
    if (!LoadScript(instance, scriptId, text)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    const std::wstring modulePath = ModulePath(instance);
    if (modulePath.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    const ScriptVariables variables = {{L"MODULE", modulePath}, {L"APPID", GuidText(*appId)}};
    return Registrar().Apply(text, variables, registering ? ScriptAction::Register : ScriptAction::Unregister);
}

HRESULT CMarrowgateModule::RegisterServer() noexcept {
    try {
        if (IsNtFamily()) {
            // Without the right to approve the handlers, register nothing at all.
            for (const ClassEntry& entry : classTable) {
                if (WriteApprovedValue(entry) != ERROR_SUCCESS) return E_ACCESSDENIED;
            }
        }
        ThreadLocaleScope locale(LOCALE_SYSTEM_DEFAULT);
        HRESULT hr = ApplyScript(appIdScript, true);
        for (const ClassEntry& entry : classTable) {
            if (FAILED(hr)) break;
            hr = ApplyScript(entry.scriptId, true);
        }
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT CMarrowgateModule::UnregisterServer() noexcept {
    try {
        if (IsNtFamily()) {
            for (const ClassEntry& entry : classTable) DeleteApprovedValue(entry);
        }
        ThreadLocaleScope locale(LOCALE_SYSTEM_DEFAULT);
        HRESULT hr = S_OK;
        for (const ClassEntry& entry : classTable) {
            hr = ApplyScript(entry.scriptId, false);
            if (FAILED(hr)) return hr;
        }
        return ApplyScript(appIdScript, false);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace Marrowgate
