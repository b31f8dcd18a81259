// The launcher: the parameters string and program path, reading InstallPath,
// and starting a stand-in Torvane.exe that records how it was started.

#include "core/CommandLine.h"
#include "shellext/Launcher.h"
#include "shellext/Handles.h"
#include "shellext/Texts.h"
#include "tests/shellext/TestSupport.h"

#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Marrowgate;
using namespace ShellextTests;

namespace {

struct ParametersCase {
    std::vector<std::wstring> items;
    std::optional<std::wstring> destination;
    std::wstring parameters;
    std::vector<std::wstring> readBack;  // what the main program's splitter makes of it
};

TEST(LauncherTest, ParametersAreWhatTheMainProgramReadsBack) {
    const ParametersCase cases[] = {
        {{L"C:\\a", L"D:\\"}, std::nullopt, L"\"C:\\a\" \"D:\\\" \"\"", {L"C:\\a", L"D:\\", L""}},
        {{L"C:\\a"}, std::wstring(L"E:\\Backup"), L"\"C:\\a\" \"E:\\Backup\"", {L"C:\\a", L"E:\\Backup"}},
        {{L"C:\\a", L"C:\\My Files\\b"}, std::wstring(L"E:\\"), L"\"C:\\a\" \"C:\\My Files\\b\" \"E:\\\"",
         {L"C:\\a", L"C:\\My Files\\b", L"E:\\"}},
        {{}, std::nullopt, L"", {}},
    };
    for (const ParametersCase& c : cases) {
        const std::wstring parameters = BuildParameters(c.items, c.destination ? &*c.destination : nullptr);
        EXPECT_EQ(parameters, c.parameters);
        std::vector<std::wstring> arguments = SplitArguments(L"Torvane.exe " + parameters);
        ASSERT_FALSE(arguments.empty());
        arguments.erase(arguments.begin());
        EXPECT_EQ(arguments, c.readBack) << parameters;
    }
}

TEST(LauncherTest, ProgramPathAlwaysAddsOneBackslash) {
    EXPECT_EQ(BuildProgramPath(L"C:\\Apps\\Torvane"), L"C:\\Apps\\Torvane\\Torvane.exe");
    EXPECT_EQ(BuildProgramPath(L"C:\\Apps\\"), L"C:\\Apps\\\\Torvane.exe");
    EXPECT_EQ(BuildProgramPath(L""), L"\\Torvane.exe");
}

std::wstring Characters(std::size_t count) {
    std::wstring text = L"C:\\";
    while (text.size() < count) text += static_cast<wchar_t>(L'a' + text.size() % 26);
    return text;
}

struct StoredValue {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    LONG expected;
    std::wstring folder;  // when read
};

std::vector<BYTE> Bytes(const std::wstring& text, bool terminator = true) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + (terminator ? 1 : 0)) * sizeof(wchar_t));
}

TEST(LauncherTest, InstallPathIsReadOnlyWhenWholeAndAString) {
    const DWORD number = 42;
    std::vector<BYTE> odd = Bytes(L"C:\\Apps");
    odd.push_back(0);
    const StoredValue cases[] = {
        {"ordinary", REG_SZ, Bytes(L"C:\\Apps\\Torvane"), ERROR_SUCCESS, L"C:\\Apps\\Torvane"},
        {"260 characters", REG_SZ, Bytes(Characters(260)), ERROR_SUCCESS, Characters(260)},
        {"261 characters", REG_SZ, Bytes(Characters(261)), ERROR_MORE_DATA, L""},
        {"expandable, used as stored", REG_EXPAND_SZ, Bytes(L"%ProgramFiles%\\Torvane"), ERROR_SUCCESS,
         L"%ProgramFiles%\\Torvane"},
        {"empty", REG_SZ, {}, ERROR_SUCCESS, L""},
        {"a number", REG_DWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&number),
                                                  reinterpret_cast<const BYTE*>(&number + 1)),
         ERROR_INVALID_DATA, L""},
        {"no terminator", REG_SZ, Bytes(L"C:\\Apps", false), ERROR_INVALID_DATA, L""},
        {"260 characters, no terminator", REG_SZ, Bytes(Characters(260), false), ERROR_INVALID_DATA, L""},
        {"half a character", REG_SZ, odd, ERROR_INVALID_DATA, L""},
    };
    for (const StoredValue& c : cases) {
        InstallPathScope stored(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        UniqueKey key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_QUERY_VALUE, key.put()), ERROR_SUCCESS);
        std::wstring folder = L"unchanged";
        EXPECT_EQ(ReadInstallPath(key.get(), folder), c.expected) << c.what;
        EXPECT_EQ(folder, c.expected == ERROR_SUCCESS ? c.folder : L"unchanged") << c.what;
    }
}

TEST(LauncherTest, MissingInstallationShowsTheInstallationMessage) {
    struct Case {
        const char* what;
        int setup;  // 0: no settings key, 1: key without InstallPath, 2: 261 characters, 3: wrong type
        HRESULT expected;
    };
    const Case cases[] = {
        {"no settings key", 0, E_ACCESSDENIED},
        {"no InstallPath", 1, E_FAIL},
        {"InstallPath too long", 2, E_FAIL},
        {"InstallPath of the wrong type", 3, E_FAIL},
    };
    // This build's own Wine prefix has no Torvane installed.
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
    for (const Case& c : cases) {
        std::unique_ptr<InstallPathScope> stored;
        const DWORD number = 1;
        if (c.setup == 1) stored = std::make_unique<InstallPathScope>();
        if (c.setup == 2) stored = std::make_unique<InstallPathScope>(Characters(261));
        if (c.setup == 3) stored = std::make_unique<InstallPathScope>(REG_DWORD, &number, sizeof(number));
        RecordedPrompts prompts;
        EXPECT_EQ(LaunchMainProgram({L"C:\\a"}, nullptr, WorkingDirectory::InstallFolder), c.expected)
            << c.what;
        ASSERT_EQ(prompts.boxes.size(), 1u) << c.what;
        EXPECT_EQ(prompts.boxes[0].owner, nullptr);
        EXPECT_EQ(prompts.boxes[0].text, kInstallationMessage);
        EXPECT_EQ(prompts.boxes[0].caption, L"Torvane");
        EXPECT_EQ(prompts.boxes[0].type, static_cast<UINT>(MB_OK));
    }
}

TEST(LauncherTest, StartsTheProgramInTheInstallationFolder) {
    StandInInstallation installation;
    InstallPathScope stored(installation.folder());
    RecordedPrompts prompts;
    ASSERT_EQ(LaunchMainProgram({L"C:\\a", L"D:\\"}, nullptr, WorkingDirectory::InstallFolder), S_OK);
    StandInInstallation::Record record;
    ASSERT_TRUE(installation.WaitForRecord(record));
    EXPECT_THAT(record.commandLine, ::testing::EndsWith(L" \"C:\\a\" \"D:\\\" \"\""));
    EXPECT_TRUE(lstrcmpiW(record.currentDirectory.c_str(), installation.folder().c_str()) == 0)
        << record.currentDirectory;
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST(LauncherTest, AProgramThatCannotStartIsAFailureNotASuccess) {
    TempFolder empty;
    InstallPathScope stored(empty.Path());
    RecordedPrompts prompts;
    const HRESULT hr = LaunchMainProgram({L"C:\\a"}, nullptr, WorkingDirectory::InstallFolder);
    EXPECT_TRUE(FAILED(hr)) << HexCode(hr);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST(LauncherTest, ASelectionTooLongForACommandLineIsNotStartedCut) {
    StandInInstallation installation;
    InstallPathScope stored(installation.folder());
    const std::wstring program = BuildProgramPath(installation.folder());
    // As many items as fit, the last one lengthened to fill the command line exactly.
    std::vector<std::wstring> items;
    while (FitsOnCommandLine(program, BuildParameters(items, nullptr))) {
        items.push_back(L"C:\\" + std::to_wstring(items.size()) + L"_" + std::wstring(90, L'x'));
    }
    items.pop_back();
    while (FitsOnCommandLine(program, BuildParameters(items, nullptr))) items.back() += L'y';
    items.back().pop_back();

    // One character more: nothing starts, and the user is told.
    items.back() += L'z';
    {
        RecordedPrompts prompts;
        EXPECT_EQ(LaunchMainProgram(items, nullptr, WorkingDirectory::InstallFolder),
                  HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_EQ(prompts.boxes[0].caption, L"Torvane");
        EXPECT_EQ(prompts.boxes[0].type, static_cast<UINT>(MB_OK));
    }
    items.back().pop_back();

    // The longest command line that fits arrives whole, its last item included.
    ASSERT_EQ(LaunchMainProgram(items, nullptr, WorkingDirectory::InstallFolder), S_OK);
    StandInInstallation::Record record;
    ASSERT_TRUE(installation.WaitForRecord(record));
    EXPECT_EQ(record.commandLine.size(), 32766u);
    std::vector<std::wstring> arguments = SplitArguments(record.commandLine);
    ASSERT_EQ(arguments.size(), items.size() + 2);
    EXPECT_EQ(arguments[items.size()], items.back());
    EXPECT_EQ(arguments.back(), L"");
}

}  // namespace
