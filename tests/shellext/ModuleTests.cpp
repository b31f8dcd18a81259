// The exports of the real Marrowgate.dll and its class factories, called the
// way COM calls them; and the module's registration steps in-process.

#include "shellext/Guids.h"
#include "shellext/Handles.h"
#include "shellext/MarrowgateModule.h"
#include "shellext/Registrar.h"
#include "shellext/Texts.h"
#include "tests/shellext/TestSupport.h"

#include <shlobj.h>

#include <algorithm>

#include <gtest/gtest.h>

using namespace Marrowgate;
using namespace ShellextTests;

namespace {

using CanUnloadNowFunction = HRESULT(WINAPI*)();
using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using ServerFunction = HRESULT(WINAPI*)();

// GetProcAddress hands out a generic function pointer; go through void* to name its real type.
template <typename Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class ExportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library = LoadLibraryW((TestProgramFolder() + L"\\Marrowgate.dll").c_str());
    }
    static void TearDownTestSuite() {
        if (library != nullptr) FreeLibrary(library);
        library = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(library, nullptr);
        canUnloadNow = Export<CanUnloadNowFunction>(library, "DllCanUnloadNow");
        getClassObject = Export<GetClassObjectFunction>(library, "DllGetClassObject");
        ASSERT_NE(canUnloadNow, nullptr);
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_EQ(canUnloadNow(), S_OK) << "an earlier test left a lock behind";
    }
    ComPtr<IClassFactory> Factory(const GUID& clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject(clsid, IID_IClassFactory, factory.putVoid()), S_OK);
        return factory;
    }

    static HMODULE library;
    CanUnloadNowFunction canUnloadNow = nullptr;
    GetClassObjectFunction getClassObject = nullptr;
};

HMODULE ExportsTest::library = nullptr;

TEST_F(ExportsTest, AllFourAreExportedByName) {
    for (const char* name : {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}) {
        EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
    }
}

TEST_F(ExportsTest, ClassObjectsOnlyForOurClasses) {
    EXPECT_EQ(getClassObject(kClsidContextMenuExtension, IID_IClassFactory, nullptr), E_POINTER);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(kAppIdMarrowgate, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(CLSID_ShellDesktop, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(kClsidContextMenuExtension, IID_IShellExtInit, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    // One factory per class, kept for the life of the library.
    ComPtr<IClassFactory> first = Factory(kClsidDragAndDropExtension);
    ComPtr<IClassFactory> second = Factory(kClsidDragAndDropExtension);
    ComPtr<IClassFactory> other = Factory(kClsidContextMenuExtension);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_NE(first.get(), other.get());
}

TEST_F(ExportsTest, FactoriesRefuseAggregationAndBadPointers) {
    for (const GUID* clsid : {&kClsidContextMenuExtension, &kClsidDragAndDropExtension}) {
        ComPtr<IClassFactory> factory = Factory(*clsid);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, nullptr), E_POINTER);

        ComPtr<IUnknown> outer;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, outer.putVoid()), S_OK);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(object, nullptr);

        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersistFile, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);

        // One object behind both interfaces.
        ComPtr<IContextMenu> menu;
        ASSERT_EQ(outer->QueryInterface(IID_IContextMenu, menu.putVoid()), S_OK);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(menu->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
        EXPECT_EQ(identity.get(), outer.get());
        ComPtr<IUnknown> none;
        EXPECT_EQ(menu->QueryInterface(IID_IShellFolder, none.putVoid()), E_NOINTERFACE);
    }
}

TEST_F(ExportsTest, UnloadWaitsForHandlersFactoriesAndServerLocks) {
    {
        ComPtr<IClassFactory> factory = Factory(kClsidContextMenuExtension);
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a factory held by someone";
        ComPtr<IShellExtInit> handler;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, handler.putVoid()), S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        factory.reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a handler and a server lock";
        handler.reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a server lock";
        factory = Factory(kClsidContextMenuExtension);
        ASSERT_EQ(factory->LockServer(FALSE), S_OK);
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a factory held by someone";
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    {
        ComPtr<IClassFactory> factory = Factory(kClsidDragAndDropExtension);
        ComPtr<IContextMenu> handler;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, handler.putVoid()), S_OK);
        factory.reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a handler";
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace

namespace {

// The module's own registration with HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT
// pointed at scratch keys for this process, so the approval step can be
// made to fail without touching the system's keys.
class RedirectedRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kScratch);
        machine_ = Create(std::wstring(kScratch) + L"\\Machine");
        classes_ = Create(std::wstring(kScratch) + L"\\Classes");
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.get()), ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_.get()), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        machine_.reset();
        classes_.reset();
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\MarrowgateTests");
    }
    static UniqueKey Create(const std::wstring& path) {
        UniqueKey key;
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
        return key;
    }
    std::vector<std::wstring> ClassesLines() const {
        return RegistryLines(HKEY_CURRENT_USER, std::wstring(kScratch) + L"\\Classes");
    }

    static constexpr const wchar_t* kScratch = L"Software\\MarrowgateTests\\Redirected";
    UniqueKey machine_;
    UniqueKey classes_;
};

TEST_F(RedirectedRegistrationTest, WithoutTheRightToApproveNothingIsRegistered) {
    // No approved-extensions key to open: the first step fails.
    const LCID german = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    ASSERT_TRUE(SetThreadLocale(german));
    EXPECT_EQ(Module().RegisterServer(), E_ACCESSDENIED);
    EXPECT_EQ(ClassesLines().size(), 1u) << "something was written under the classes root";

    Create(std::wstring(kScratch) + L"\\Machine\\" + kApprovedExtensionsKeyPath);
    EXPECT_EQ(Module().RegisterServer(), S_OK);
    EXPECT_EQ(GetThreadLocale(), german) << "the thread's locale is put back";
    const std::vector<std::wstring> lines = ClassesLines();
    const std::wstring inproc = std::wstring(kScratch) + L"\\Classes\\CLSID\\" + GuidText(kClsidContextMenuExtension) +
                                L"\\InprocServer32";
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_NE(std::find(lines.begin(), lines.end(), inproc + L"||REG_SZ:" + program), lines.end());
    EXPECT_EQ(lines.size(), 38u) << "25 keys (the redirected root among them) and 13 values";

    EXPECT_EQ(Module().UnregisterServer(), S_OK);
    EXPECT_EQ(GetThreadLocale(), german);
    EXPECT_EQ(RegistryLines(HKEY_LOCAL_MACHINE, kApprovedExtensionsKeyPath).size(), 1u) << "approved values left";
    SetThreadLocale(LOCALE_USER_DEFAULT);
}

}  // namespace
