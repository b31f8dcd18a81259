// The real Marrowgate.dll registered with the system's regsvr32: the registry
// it writes and removes, its handlers created through COM from that
// registration, and whether this system's own shell loads them.

#include "core/CommandLine.h"
#include "shellext/Guids.h"
#include "shellext/Handles.h"
#include "shellext/Texts.h"
#include "tests/shellext/TestSupport.h"

#include <shlobj.h>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Marrowgate;
using namespace ShellextTests;
using ::testing::ElementsAre;

namespace {

const std::wstring kMenu = GuidText(kClsidContextMenuExtension);
const std::wstring kDrop = GuidText(kClsidDragAndDropExtension);
const std::wstring kApp = GuidText(kAppIdMarrowgate);

// Keys the scripts keep, deepest first.
const wchar_t* const kKeptKeys[] = {
    L"AllFileSystemObjects\\ShellEx\\ContextMenuHandlers",
    L"AllFileSystemObjects\\ShellEx",
    L"AllFileSystemObjects",
    L"Directory\\shellex\\DragDropHandlers",
    L"Directory\\shellex",
    L"Directory",
    L"Folder\\shellex\\DragDropHandlers",
    L"Folder\\shellex",
    L"Folder",
    L"Drive\\shellex\\DragDropHandlers",
    L"Drive\\shellex",
    L"Drive",
    L"AppID",
    L"CLSID",
};

// Every key registration writes and removal takes away again.
std::vector<std::wstring> OurKeys() {
    return {
        L"AppID\\" + kApp,
        L"AppID\\Marrowgate.DLL",
        L"CLSID\\" + kMenu,
        L"AllFileSystemObjects\\ShellEx\\ContextMenuHandlers\\ApplicationContextMenuExtension",
        L"CLSID\\" + kDrop,
        L"Directory\\shellex\\DragDropHandlers\\ApplicationDragAndDropExtension",
        L"Folder\\shellex\\DragDropHandlers\\ApplicationDragAndDropExtension",
        L"Drive\\shellex\\DragDropHandlers\\ApplicationDragAndDropExtension",
    };
}

std::wstring DllPath() {
    return TestProgramFolder() + L"\\Marrowgate.dll";
}

std::vector<std::wstring> ExpectedLines() {
    const std::wstring dll = DllPath();
    std::vector<std::wstring> lines = {
        L"AppID\\" + kApp,
        L"AppID\\" + kApp + L"||REG_SZ:Marrowgate",
        L"AppID\\Marrowgate.DLL",
        L"AppID\\Marrowgate.DLL|AppID|REG_SZ:" + kApp,
        L"CLSID\\" + kMenu,
        L"CLSID\\" + kMenu + L"||REG_SZ:ApplicationContextMenuExtension Class",
        L"CLSID\\" + kMenu + L"|AppID|REG_SZ:" + kApp,
        L"CLSID\\" + kMenu + L"\\InprocServer32",
        L"CLSID\\" + kMenu + L"\\InprocServer32||REG_SZ:" + dll,
        L"CLSID\\" + kMenu + L"\\InprocServer32|ThreadingModel|REG_SZ:Apartment",
        L"AllFileSystemObjects\\ShellEx\\ContextMenuHandlers\\ApplicationContextMenuExtension",
        L"AllFileSystemObjects\\ShellEx\\ContextMenuHandlers\\ApplicationContextMenuExtension||REG_SZ:" + kMenu,
        L"CLSID\\" + kDrop,
        L"CLSID\\" + kDrop + L"||REG_SZ:ApplicationDragAndDropExtension Class",
        L"CLSID\\" + kDrop + L"\\InprocServer32",
        L"CLSID\\" + kDrop + L"\\InprocServer32||REG_SZ:" + dll,
        L"CLSID\\" + kDrop + L"\\InprocServer32|ThreadingModel|REG_SZ:Apartment",
    };
    for (const wchar_t* parent : {L"Directory", L"Folder", L"Drive"}) {
        const std::wstring key =
            std::wstring(parent) + L"\\shellex\\DragDropHandlers\\ApplicationDragAndDropExtension";
        lines.push_back(key);
        lines.push_back(key + L"||REG_SZ:" + kDrop);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::wstring> RegisteredLines() {
    std::vector<std::wstring> lines;
    for (const std::wstring& key : OurKeys()) {
        const std::vector<std::wstring> below = RegistryLines(HKEY_CLASSES_ROOT, key);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The approved-extensions value of a class, or "(missing)".
std::wstring ApprovedValue(const std::wstring& name) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApprovedExtensionsKeyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return L"(no key)";
    }
    wchar_t data[128];
    DWORD size = sizeof(data);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (result != ERROR_SUCCESS) return L"(missing)";
    return (type == REG_SZ ? L"" : L"(not REG_SZ) ") + std::wstring(data);
}

DWORD Regsvr32(const std::wstring& switches) {
    return RunAndWait(L"regsvr32.exe " + switches + L" \"" + DllPath() + L"\"");
}

class RegistrationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        keptBefore.clear();
        for (const wchar_t* key : kKeptKeys) keptBefore.push_back(KeyExists(HKEY_CLASSES_ROOT, key));
    }
    // Leaves the prefix as it was: nothing registered, kept keys we created gone.
    static void TearDownTestSuite() {
        Regsvr32(L"/u /s");
        for (std::size_t i = 0; i < keptBefore.size(); ++i) {
            if (!keptBefore[i]) RegDeleteKeyW(HKEY_CLASSES_ROOT, kKeptKeys[i]);
        }
    }
    void TearDown() override { Regsvr32(L"/u /s"); }

    static std::vector<bool> keptBefore;
};

std::vector<bool> RegistrationTest::keptBefore;

TEST_F(RegistrationTest, RegistersExactlyTheTableAndRemovesAllButTheKeptKeys) {
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const std::vector<std::wstring> expected = ExpectedLines();
    EXPECT_EQ(RegisteredLines(), expected);
    EXPECT_EQ(ApprovedValue(kMenu), L"ApplicationContextMenuExtension");
    EXPECT_EQ(ApprovedValue(kDrop), L"ApplicationDragAndDropExtension");

    // Registered again: the replaced keys are rebuilt, nothing doubles or lingers.
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    EXPECT_EQ(RegisteredLines(), expected);

    ASSERT_EQ(Regsvr32(L"/u /s"), 0u);
    for (const std::wstring& key : OurKeys()) EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    for (const wchar_t* key : kKeptKeys) EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_EQ(ApprovedValue(kMenu), L"(missing)");
    EXPECT_EQ(ApprovedValue(kDrop), L"(missing)");

    // Removing what is not registered is no failure.
    EXPECT_EQ(Regsvr32(L"/u /s"), 0u);
}

// A data object from the shell itself for files in one folder.
ComPtr<IDataObject> ShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names) {
    ComPtr<IShellFolder> desktop;
    ComPtr<IShellFolder> parent;
    ComPtr<IDataObject> data;
    PIDLIST_ABSOLUTE folderList = nullptr;
    if (FAILED(SHGetDesktopFolder(desktop.put())) ||
        FAILED(SHParseDisplayName(folder.c_str(), nullptr, &folderList, 0, nullptr))) {
        return data;
    }
    desktop->BindToObject(folderList, nullptr, IID_IShellFolder, parent.putVoid());
    CoTaskMemFree(folderList);
    if (!parent) return data;
    std::vector<PITEMID_CHILD> children;
    for (const std::wstring& name : names) {
        PIDLIST_RELATIVE child = nullptr;
        std::wstring text = name;
        if (SUCCEEDED(parent->ParseDisplayName(nullptr, nullptr, &text[0], nullptr, &child, nullptr))) {
            children.push_back(static_cast<PITEMID_CHILD>(child));
        }
    }
    if (children.size() == names.size()) {
        parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                              const_cast<PCUITEMID_CHILD_ARRAY>(children.data()), IID_IDataObject, nullptr,
                              data.putVoid());
    }
    for (PITEMID_CHILD child : children) CoTaskMemFree(child);
    return data;
}

std::vector<std::wstring> ArgumentsOf(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments = SplitArguments(commandLine);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

TEST_F(RegistrationTest, HandlersCreatedFromTheRegistrationStartTorvane) {
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    TempFolder files;
    const std::wstring a = files.WriteFile(L"a file.txt");
    const std::wstring b = files.WriteFile(L"b.txt");
    const std::wstring target = files.WriteFile(L"target\\x.txt").substr(0, files.Path().size() + 7);
    ComPtr<IDataObject> data = ShellDataObject(files.Path(), {L"a file.txt", L"b.txt"});
    ASSERT_TRUE(data) << "the shell gave no data object";

    struct Launch {
        const GUID* clsid;
        bool drop;
    };
    for (const Launch& launch : {Launch{&kClsidContextMenuExtension, false}, Launch{&kClsidDragAndDropExtension, true}}) {
        StandInInstallation installation;
        InstallPathScope stored(installation.folder());
        ComPtr<IShellExtInit> init;
        ASSERT_EQ(CoCreateInstance(*launch.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.putVoid()),
                  S_OK);
        PIDLIST_ABSOLUTE targetList = nullptr;
        ASSERT_EQ(SHParseDisplayName(target.c_str(), nullptr, &targetList, 0, nullptr), S_OK);
        const HRESULT initialized = init->Initialize(launch.drop ? targetList : nullptr, data.get(), nullptr);
        CoTaskMemFree(targetList);
        ASSERT_EQ(initialized, S_OK) << HexCode(initialized);

        ComPtr<IContextMenu> menu;
        ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.putVoid()), S_OK);
        UniqueMenu popup(CreatePopupMenu());
        AppendMenuW(popup.get(), MF_STRING, 1, L"one");
        AppendMenuW(popup.get(), MF_STRING, 2, L"two");
        EXPECT_EQ(menu->QueryContextMenu(popup.get(), 0, 100, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(0, 0, 1));

        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof(info);
        info.nShow = SW_SHOWNORMAL;
        ASSERT_EQ(menu->InvokeCommand(&info), S_OK);
        StandInInstallation::Record record;
        ASSERT_TRUE(installation.WaitForRecord(record));
        if (launch.drop) {
            EXPECT_THAT(ArgumentsOf(record.commandLine), ElementsAre(a, b, target));
        } else {
            EXPECT_THAT(ArgumentsOf(record.commandLine), ElementsAre(a, b, L""));
            EXPECT_EQ(lstrcmpiW(record.currentDirectory.c_str(), installation.folder().c_str()), 0);
        }
    }
}

// Whether the system's own shell puts our entry into the context menu it
// builds for a file, as Explorer would.
TEST_F(RegistrationTest, TheSystemShellBuildsAMenuWithTorvane) {
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    TempFolder files;
    const std::wstring file = files.WriteFile(L"item.txt");
    PIDLIST_ABSOLUTE item = nullptr;
    ASSERT_EQ(SHParseDisplayName(file.c_str(), nullptr, &item, 0, nullptr), S_OK);
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    ASSERT_EQ(SHBindToParent(item, IID_IShellFolder, parent.putVoid(), &child), S_OK);
    ComPtr<IContextMenu> menu;
    const HRESULT got = parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, menu.putVoid());
    CoTaskMemFree(item);
    ASSERT_EQ(got, S_OK);
    UniqueMenu popup(CreatePopupMenu());
    ASSERT_TRUE(SUCCEEDED(menu->QueryContextMenu(popup.get(), 0, 1, 0x7FFF, CMF_NORMAL)));
    bool found = false;
    std::wstring seen;
    for (int i = 0; i < GetMenuItemCount(popup.get()); ++i) {
        wchar_t text[128] = L"";
        GetMenuStringW(popup.get(), static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        seen += std::wstring(L"[") + text + L"]";
        if (std::wstring(text) == L"Torvane") found = true;
    }
    if (!found) {
        GTEST_SKIP() << "this system's shell builds the menu without shell-extension entries: "
                     << std::string(seen.begin(), seen.end());
    }
    SUCCEED();
}

}  // namespace
