// Both Explorer handlers driven in-process as Explorer drives them: Initialize
// with CF_HDROP data, QueryContextMenu, GetCommandString, InvokeCommand.

#include "core/CommandLine.h"
#include "shellext/ContextMenuExtension.h"
#include "shellext/DragAndDropExtension.h"
#include "shellext/Guids.h"
#include "shellext/Handles.h"
#include "shellext/Texts.h"
#include "tests/shellext/TestSupport.h"

#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Marrowgate;
using namespace ShellextTests;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

template <typename Handler>
ComPtr<IShellExtInit> NewHandler() {
    ComPtr<IShellExtInit> handler;
    EXPECT_EQ(CreateHandler<Handler>(IID_IShellExtInit, handler.putVoid()), S_OK);
    return handler;
}

template <typename Handler>
Handler* Object(const ComPtr<IShellExtInit>& handler) {
    return static_cast<Handler*>(handler.get());
}

ComPtr<IContextMenu> MenuOf(const ComPtr<IShellExtInit>& handler) {
    ComPtr<IContextMenu> menu;
    EXPECT_EQ(handler->QueryInterface(IID_IContextMenu, menu.putVoid()), S_OK);
    return menu;
}

struct ItemIdList {
    explicit ItemIdList(const std::wstring& path) { SHParseDisplayName(path.c_str(), nullptr, &list, 0, nullptr); }
    explicit ItemIdList(int folder) { SHGetSpecialFolderLocation(nullptr, folder, &list); }
    ~ItemIdList() { CoTaskMemFree(list); }
    PIDLIST_ABSOLUTE list = nullptr;
};

std::wstring LongName() {
    std::wstring name = L"C:\\";
    while (name.size() < 300) name += L"folder with a long name\\";
    return name + L"file.txt";
}

std::vector<BYTE> UnterminatedBlock() {
    std::vector<BYTE> block = DropBlock({L"C:\\a"});
    block.resize(block.size() - 2 * sizeof(wchar_t));  // drop the terminators
    return block;
}

struct InitializeCase {
    const char* what;
    ComPtr<IDataObject> (*data)();
    HRESULT contextMenu;      // result of the context-menu handler
    HRESULT dragAndDrop;      // result of the drag-and-drop handler
    std::vector<std::wstring> items;
};

const InitializeCase kInitializeCases[] = {
    {"three files in Explorer's order", [] { return DropOf({L"C:\\b.txt", L"C:\\a.txt", L"C:\\c"}); }, S_OK, S_OK,
     {L"C:\\b.txt", L"C:\\a.txt", L"C:\\c"}},
    {"a drive root", [] { return DropOf({L"D:\\"}); }, S_OK, S_OK, {L"D:\\"}},
    {"a name longer than MAX_PATH, read whole", [] { return DropOf({L"C:\\x", LongName()}); }, S_OK, S_OK,
     {L"C:\\x", LongName()}},
    {"an ANSI list", [] { return DropDataObject::Create(DropBlock({L"C:\\ansi"}, false)); }, S_OK, S_OK,
     {L"C:\\ansi"}},
    {"GetData fails",
     [] { return DropDataObject::Create(DropBlock({L"C:\\a"}), DropDataObject::Mode::FailGetData); },
     E_INVALIDARG, E_INVALIDARG, {}},
    {"a medium other than global memory",
     [] { return DropDataObject::Create(DropBlock({L"C:\\a"}), DropDataObject::Mode::ServeStream); },
     E_INVALIDARG, E_INVALIDARG, {}},
    {"a list without its terminators", [] { return DropDataObject::Create(UnterminatedBlock()); }, E_INVALIDARG,
     E_INVALIDARG, {}},
    {"no data object", [] { return ComPtr<IDataObject>(); }, E_INVALIDARG, E_INVALIDARG, {}},
};

// An empty list, with what looks like a name in the memory after its
// terminator: some systems' DragQueryFileW steps over the terminator and
// counts what follows, so the handlers count the names themselves.
ComPtr<IDataObject> EmptyListWithANameAfterIt() {
    std::vector<BYTE> block = DropBlock({});
    const std::wstring after = L"C:\\after the list";
    const BYTE* bytes = reinterpret_cast<const BYTE*>(after.c_str());
    block.insert(block.end(), bytes, bytes + (after.size() + 1) * sizeof(wchar_t));
    return DropDataObject::Create(block);
}

TEST(HandlerTest, AnEmptyListIsRefused) {
    TempFolder target;
    ItemIdList targetList(target.Path());
    ASSERT_NE(targetList.list, nullptr);
    for (bool nameAfter : {false, true}) {
        SCOPED_TRACE(nameAfter ? "a name after the list" : "nothing after the list");
        ComPtr<IShellExtInit> menuHandler = NewHandler<CApplicationContextMenuExtension>();
        EXPECT_EQ(menuHandler->Initialize(nullptr, (nameAfter ? EmptyListWithANameAfterIt() : DropOf({})).get(), nullptr),
                  E_INVALIDARG);
        EXPECT_THAT(Object<CApplicationContextMenuExtension>(menuHandler)->Items(), IsEmpty());
        ComPtr<IShellExtInit> dropHandler = NewHandler<CApplicationDragAndDropExtension>();
        EXPECT_EQ(dropHandler->Initialize(targetList.list, (nameAfter ? EmptyListWithANameAfterIt() : DropOf({})).get(),
                                          nullptr),
                  E_FAIL);
        EXPECT_THAT(Object<CApplicationDragAndDropExtension>(dropHandler)->Items(), IsEmpty());
    }
}

TEST(HandlerTest, InitializeReadsEveryNameWhole) {
    TempFolder target;
    ItemIdList targetList(target.Path());
    ASSERT_NE(targetList.list, nullptr);
    for (const InitializeCase& c : kInitializeCases) {
        ComPtr<IShellExtInit> menuHandler = NewHandler<CApplicationContextMenuExtension>();
        ComPtr<IDataObject> data = c.data();
        EXPECT_EQ(menuHandler->Initialize(nullptr, data.get(), nullptr), c.contextMenu) << c.what;
        EXPECT_EQ(Object<CApplicationContextMenuExtension>(menuHandler)->Items(), c.items) << c.what;

        ComPtr<IShellExtInit> dropHandler = NewHandler<CApplicationDragAndDropExtension>();
        data = c.data();
        EXPECT_EQ(dropHandler->Initialize(targetList.list, data.get(), nullptr), c.dragAndDrop) << c.what;
        EXPECT_EQ(Object<CApplicationDragAndDropExtension>(dropHandler)->Items(), c.items) << c.what;
        EXPECT_EQ(Object<CApplicationDragAndDropExtension>(dropHandler)->Destination(), target.Path()) << c.what;
    }
}

TEST(HandlerTest, DropTargetMustHaveAFileSystemPath) {
    ItemIdList computer(CSIDL_DRIVES);
    ASSERT_NE(computer.list, nullptr);
    ComPtr<IDataObject> data = DropOf({L"C:\\a"});
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationDragAndDropExtension>();
    EXPECT_EQ(handler->Initialize(computer.list, data.get(), nullptr), E_FAIL);
    EXPECT_EQ(handler->Initialize(nullptr, data.get(), nullptr), E_FAIL);
    ItemIdList root(L"C:\\");
    EXPECT_EQ(handler->Initialize(root.list, data.get(), nullptr), S_OK);
    EXPECT_EQ(Object<CApplicationDragAndDropExtension>(handler)->Destination(), L"C:\\");
}

TEST(HandlerTest, ASecondInitializeReplacesTheSelection) {
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationContextMenuExtension>();
    ComPtr<IDataObject> first = DropOf({L"C:\\a", L"C:\\b"});
    ComPtr<IDataObject> second = DropOf({L"C:\\c"});
    ASSERT_EQ(handler->Initialize(nullptr, first.get(), nullptr), S_OK);
    ASSERT_EQ(handler->Initialize(nullptr, second.get(), nullptr), S_OK);
    EXPECT_THAT(Object<CApplicationContextMenuExtension>(handler)->Items(), ElementsAre(L"C:\\c"));
}

UniqueMenu MenuWithItems(int count) {
    UniqueMenu menu(CreatePopupMenu());
    for (int i = 0; i < count; ++i) {
        const std::wstring text = L"item " + std::to_wstring(i);
        AppendMenuW(menu.get(), MF_STRING, 1000 + i, text.c_str());
    }
    return menu;
}

struct MenuItem {
    std::wstring text;
    UINT id;
    bool separator;
    HBITMAP checked;
    HBITMAP unchecked;
};

MenuItem ItemAt(HMENU menu, int position) {
    wchar_t text[64] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_CHECKMARKS;
    info.dwTypeData = text;
    info.cch = 64;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return {text, info.wID, (info.fType & MFT_SEPARATOR) != 0, info.hbmpChecked, info.hbmpUnchecked};
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

TEST(HandlerTest, ContextMenuEntryGoesWhereExplorerAsks) {
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationContextMenuExtension>();
    ComPtr<IDataObject> data = DropOf({L"C:\\a"});
    ASSERT_EQ(handler->Initialize(nullptr, data.get(), nullptr), S_OK);
    ComPtr<IContextMenu> menu = MenuOf(handler);

    UniqueMenu popup = MenuWithItems(8);
    EXPECT_EQ(menu->QueryContextMenu(popup.get(), 5, 300, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(0, 0, 1));
    ASSERT_EQ(GetMenuItemCount(popup.get()), 9);
    const MenuItem entry = ItemAt(popup.get(), 5);
    EXPECT_EQ(entry.text, L"Torvane");
    EXPECT_EQ(entry.id, 300u);
    EXPECT_EQ(ItemAt(popup.get(), 6).text, L"item 5");
    // This Wine reports a Vista-or-later system: the 16 x 16 bitmap, for both states.
    ASSERT_NE(entry.checked, nullptr);
    EXPECT_EQ(entry.checked, entry.unchecked);
    const SIZE size = BitmapSize(entry.checked);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);

    UniqueMenu untouched = MenuWithItems(3);
    EXPECT_EQ(menu->QueryContextMenu(untouched.get(), 1, 300, 0x7FFF, CMF_DEFAULTONLY), S_OK);
    // No identifier left in the range: nothing added rather than a clash with another handler.
    EXPECT_EQ(menu->QueryContextMenu(untouched.get(), 1, 300, 299, CMF_NORMAL), S_OK);
    EXPECT_EQ(GetMenuItemCount(untouched.get()), 3);
}

TEST(HandlerTest, MenuBitmapsHaveTheirSizes) {
    const struct {
        int id;
        LONG size;
    } bitmaps[] = {{202, 16}, {204, 12}};
    for (const auto& expected : bitmaps) {
        UniqueBitmap bitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(expected.id)));
        ASSERT_TRUE(bitmap) << expected.id;
        const SIZE size = BitmapSize(bitmap.get());
        EXPECT_EQ(size.cx, expected.size) << expected.id;
        EXPECT_EQ(size.cy, expected.size) << expected.id;
    }
}

TEST(HandlerTest, DropMenuEntryGoesAboveTheLastTwoItemsWithASeparator) {
    TempFolder target;
    ItemIdList targetList(target.Path());
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationDragAndDropExtension>();
    ComPtr<IDataObject> data = DropOf({L"C:\\a"});
    ASSERT_EQ(handler->Initialize(targetList.list, data.get(), nullptr), S_OK);
    ComPtr<IContextMenu> menu = MenuOf(handler);

    UniqueMenu popup = MenuWithItems(5);
    EXPECT_EQ(menu->QueryContextMenu(popup.get(), 0, 40, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(0, 0, 1));
    ASSERT_EQ(GetMenuItemCount(popup.get()), 7);
    EXPECT_EQ(ItemAt(popup.get(), 2).text, L"item 2");
    EXPECT_TRUE(ItemAt(popup.get(), 3).separator);
    EXPECT_EQ(ItemAt(popup.get(), 4).text, L"Torvane");
    EXPECT_EQ(ItemAt(popup.get(), 4).id, 40u);
    EXPECT_NE(ItemAt(popup.get(), 4).checked, nullptr);
    EXPECT_EQ(ItemAt(popup.get(), 5).text, L"item 3");
    EXPECT_EQ(ItemAt(popup.get(), 6).text, L"item 4");

    UniqueMenu untouched = MenuWithItems(5);
    EXPECT_EQ(menu->QueryContextMenu(untouched.get(), 0, 40, 0x7FFF, CMF_DEFAULTONLY), S_OK);
    EXPECT_EQ(GetMenuItemCount(untouched.get()), 5);

    // Fewer than two items: the position is out of range and the menu appends.
    UniqueMenu small = MenuWithItems(1);
    EXPECT_EQ(menu->QueryContextMenu(small.get(), 0, 40, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(0, 0, 1));
    EXPECT_EQ(GetMenuItemCount(small.get()), 3);
}

struct CommandStringCase {
    const char* what;
    UINT_PTR offset;
    UINT type;
    UINT size;
    HRESULT expected;
    const char* text;  // what the buffer then holds
};

TEST(HandlerTest, CommandStringIsTheHelpTextCutToTheBuffer) {
    const CommandStringCase cases[] = {
        {"wide help text, 10 characters", 0, GCS_HELPTEXTW, 10, S_OK, "Perform a"},
        {"ANSI help text, 10 characters", 0, GCS_HELPTEXTA, 10, S_OK, "Perform a"},
        {"wide help text, room for all", 0, GCS_HELPTEXTW, 64, S_OK, "Perform a torvane copy."},
        {"ANSI help text, room for all", 0, GCS_HELPTEXTA, 64, S_OK, "Perform a torvane copy."},
        {"offset 1", 1, GCS_HELPTEXTW, 64, E_INVALIDARG, ""},
        {"wide verb", 0, GCS_VERBW, 64, E_INVALIDARG, ""},
        {"ANSI verb", 0, GCS_VERBA, 64, E_INVALIDARG, ""},
        {"validation", 0, GCS_VALIDATEW, 64, E_INVALIDARG, ""},
        {"no room at all", 0, GCS_HELPTEXTW, 0, E_INVALIDARG, ""},
    };
    ComPtr<IContextMenu> menus[2];
    menus[0] = MenuOf(NewHandler<CApplicationContextMenuExtension>());
    menus[1] = MenuOf(NewHandler<CApplicationDragAndDropExtension>());
    for (const ComPtr<IContextMenu>& menu : menus) {
        for (const CommandStringCase& c : cases) {
            wchar_t buffer[64];
            std::fill(std::begin(buffer), std::end(buffer), L'\0');
            char* out = reinterpret_cast<char*>(buffer);
            EXPECT_EQ(menu->GetCommandString(c.offset, c.type, nullptr, out, c.size), c.expected) << c.what;
            std::string text;
            if (c.type == GCS_HELPTEXTW) {
                for (const wchar_t* p = buffer; *p != 0; ++p) text += static_cast<char>(*p);
            } else {
                text = out;
            }
            EXPECT_EQ(text, c.text) << c.what;
        }
    }
}

CMINVOKECOMMANDINFO Command(LPCSTR verb) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return info;
}

TEST(HandlerTest, ForeignVerbsAreRefused) {
    TempFolder target;
    ItemIdList targetList(target.Path());
    ComPtr<IDataObject> data = DropOf({L"C:\\a"});
    ComPtr<IShellExtInit> menuHandler = NewHandler<CApplicationContextMenuExtension>();
    ComPtr<IShellExtInit> dropHandler = NewHandler<CApplicationDragAndDropExtension>();
    ASSERT_EQ(menuHandler->Initialize(nullptr, data.get(), nullptr), S_OK);
    ASSERT_EQ(dropHandler->Initialize(targetList.list, data.get(), nullptr), S_OK);
    for (LPCSTR verb : {static_cast<LPCSTR>("copy"), static_cast<LPCSTR>(MAKEINTRESOURCEA(1))}) {
        CMINVOKECOMMANDINFO info = Command(verb);
        RecordedPrompts prompts;
        EXPECT_EQ(MenuOf(menuHandler)->InvokeCommand(&info), E_INVALIDARG);
        EXPECT_THAT(prompts.boxes, IsEmpty());

        EXPECT_EQ(MenuOf(dropHandler)->InvokeCommand(&info), E_INVALIDARG);
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_EQ(prompts.boxes[0].owner, nullptr);
        EXPECT_EQ(prompts.boxes[0].text, L"Invalid verb from Windows Explorer.");
        EXPECT_EQ(prompts.boxes[0].caption, L"Torvane");
        EXPECT_EQ(prompts.boxes[0].type, static_cast<UINT>(MB_OK));
    }
    EXPECT_EQ(MenuOf(menuHandler)->InvokeCommand(nullptr), E_INVALIDARG);
}

// Everything after the program path, as the main program's splitter reads it.
std::vector<std::wstring> ArgumentsOf(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments = SplitArguments(commandLine);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

TEST(HandlerTest, ContextMenuStartsTorvaneWithTheSelectionAndNoDestination) {
    StandInInstallation installation;
    InstallPathScope stored(installation.folder());
    const std::wstring longName = LongName();
    ComPtr<IDataObject> data = DropOf({L"C:\\My Files\\a.txt", L"D:\\", longName});
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationContextMenuExtension>();
    ASSERT_EQ(handler->Initialize(nullptr, data.get(), nullptr), S_OK);
    CMINVOKECOMMANDINFO info = Command(nullptr);
    ASSERT_EQ(MenuOf(handler)->InvokeCommand(&info), S_OK);

    StandInInstallation::Record record;
    ASSERT_TRUE(installation.WaitForRecord(record));
    EXPECT_THAT(ArgumentsOf(record.commandLine), ElementsAre(L"C:\\My Files\\a.txt", L"D:\\", longName, L""));
    EXPECT_EQ(lstrcmpiW(record.currentDirectory.c_str(), installation.folder().c_str()), 0)
        << record.currentDirectory;
}

TEST(HandlerTest, DropStartsTorvaneWithTheItemsAndTheTarget) {
    StandInInstallation installation;
    InstallPathScope stored(installation.folder());
    ItemIdList driveRoot(L"C:\\");
    ComPtr<IDataObject> data = DropOf({L"C:\\a", L"C:\\b"});
    ComPtr<IShellExtInit> handler = NewHandler<CApplicationDragAndDropExtension>();
    ASSERT_EQ(handler->Initialize(driveRoot.list, data.get(), nullptr), S_OK);
    CMINVOKECOMMANDINFO info = Command(nullptr);
    RecordedPrompts prompts;
    ASSERT_EQ(MenuOf(handler)->InvokeCommand(&info), S_OK);

    StandInInstallation::Record record;
    ASSERT_TRUE(installation.WaitForRecord(record));
    EXPECT_THAT(record.commandLine, ::testing::EndsWith(L" \"C:\\a\" \"C:\\b\" \"C:\\\""));
    EXPECT_THAT(ArgumentsOf(record.commandLine), ElementsAre(L"C:\\a", L"C:\\b", L"C:\\"));
    // No working directory given: the shell's default, the directory of the caller.
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(lstrcmpiW(record.currentDirectory.c_str(), current), 0) << record.currentDirectory;
    EXPECT_THAT(prompts.boxes, IsEmpty());
}

}  // namespace
