#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/Diagnostics.h"
#include "platform/testing/FaultPlatform.h"
#include "tests/support/TempFolder.h"
#include "tests/control/TestPrompt.h"
#include "control/DestinationValidation.h"

namespace {

using namespace DestinationMessages;

// The real platform's folders, with the free space they report under the
// test's control.
class FreeSpaceFolders : public PassingFolderCalls {
public:
    using PassingFolderCalls::PassingFolderCalls;
    bool overrideFree = false;
    std::uint64_t reportedFree = 0;

    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override {
        const std::uint32_t error = inner.FreeBytes(path, freeBytes);
        if (error == ErrorCode::kSuccess && overrideFree) freeBytes = reportedFree;
        return error;
    }
};

class ValidationTest : public ::testing::Test {
protected:
    TempFolder temp;
    FaultPlatform fault{SystemPlatform()};
    FreeSpaceFolders freeSpace{fault.Folders()};
    Platform platform{fault.Files(), fault.Listing(), freeSpace, fault.Sync(), fault.Threads()};
    TestPrompt prompt;

    bool Validate(const std::wstring& toText, std::uint64_t bytesTotal = 0, const std::wstring& fromText = L"",
                  bool includeSubfolders = true) {
        const DestinationRequest request{toText, SourceList::Parse(fromText), includeSubfolders, bytesTotal};
        return ValidateDestination(request, platform, prompt);
    }
    void ExpectOneBox(const wchar_t* text, const wchar_t* caption, std::uint32_t style) {
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text, text);
        EXPECT_EQ(prompt.asked[0].caption, caption);
        EXPECT_EQ(prompt.asked[0].style, style);
    }
};

TEST_F(ValidationTest, EmptyExistingFolderPassesWithoutQuestions) {
    temp.MakeFolder(L"out");
    EXPECT_TRUE(Validate(temp.Path(L"out"), 100));
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(ValidationTest, SeveralMissingLevelsAreCreatedBeforeTheFreeSpaceQuestion) {
    freeSpace.overrideFree = true;
    freeSpace.reportedFree = 10;
    prompt.answers = {PromptAnswer::kCancel};
    EXPECT_FALSE(Validate(temp.Path(L"a\\b\\c"), 11));
    ExpectOneBox(kFreeSpace, kFreeSpaceCaption, 0x131);
    EXPECT_TRUE(temp.IsFolder(L"a\\b\\c"));  // stays after the Cancel
}

TEST_F(ValidationTest, SurroundingBlanksAndATrailingBackslashNameTheSameFolder) {
    temp.WriteFile(L"out\\old.txt", "x");
    prompt.answers = {PromptAnswer::kCancel};
    EXPECT_FALSE(Validate(L" \t" + temp.Path(L"out") + L"\\  "));
    ExpectOneBox(kNotEmpty, kNotEmptyCaption, 0x131);
    EXPECT_FALSE(temp.IsFolder(L"out\\ "));
}

TEST_F(ValidationTest, NonEmptyFolderGoesOnOnlyWithOk) {
    temp.WriteFile(L"out\\old.txt", "x");
    EXPECT_TRUE(Validate(temp.Path(L"out")));
    ExpectOneBox(kNotEmpty, kNotEmptyCaption, 0x131);
    EXPECT_STREQ(kNotEmpty,
                 L"The destination folder is not empty. Any existing files with the same name will cause that file "
                 L"copy to be skipped.");
}

TEST_F(ValidationTest, AFileInTheWayIsRefused) {
    temp.WriteFile(L"out", "x");
    EXPECT_FALSE(Validate(temp.Path(L"out")));
    ExpectOneBox(L"The destination must be a folder.", L"Invalid folder", 0x30);
}

TEST_F(ValidationTest, APathThatCannotBeCreatedIsRefused) {
    temp.WriteFile(L"file", "x");
    EXPECT_FALSE(Validate(temp.Path(L"file\\sub")));
    ExpectOneBox(L"The destination folder is not valid.", L"Invalid folder", 0x30);
}

TEST_F(ValidationTest, RelativeAndEmptyDestinationsAreRefused) {
    const wchar_t* texts[] = {L"", L"   ", L"out", L"..\\out", L"\\out", L"C:out"};
    for (const wchar_t* text : texts) {
        prompt.asked.clear();
        EXPECT_FALSE(Validate(text)) << text;
        ExpectOneBox(kNotValid, kInvalidFolderCaption, 0x30);
    }
}

TEST_F(ValidationTest, FailedFreeSpaceQueryRefusesSilently) {
    Diagnostics::Capture capture;
    fault.Fail(PlatformCall::FreeBytes, L"", ErrorCode::kNotReady);
    temp.MakeFolder(L"out");
    EXPECT_FALSE(Validate(temp.Path(L"out"), 1));
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(capture.Contains(L"GetDiskFreeSpaceEx failed. [21]\n"));
}

TEST_F(ValidationTest, FreeSpaceQuestionOnlyWhenTheTotalExceedsIt) {
    temp.MakeFolder(L"out");
    freeSpace.overrideFree = true;
    freeSpace.reportedFree = 1000;
    EXPECT_TRUE(Validate(temp.Path(L"out"), 1000));
    EXPECT_TRUE(prompt.asked.empty());

    EXPECT_TRUE(Validate(temp.Path(L"out"), 1001));  // answered OK
    ExpectOneBox(L"The destination drive may not have enough free space.", L"Not enough free space", 0x131);
}

TEST_F(ValidationTest, ADestinationInsideASourceFolderIsRefusedBeforeAnythingIsCreated) {
    temp.MakeFolder(L"src");
    temp.WriteFile(L"one.txt", "x");
    const std::wstring from = L"\"" + temp.Path(L"one.txt") + L"\" \"" + temp.Path(L"src") + L"\"";
    const std::wstring inside[] = {temp.Path(L"src"), temp.Path(L"SRC\\out\\deep"), temp.Path(L"src\\.\\x\\..\\y")};
    for (const std::wstring& to : inside) {
        prompt.asked.clear();
        EXPECT_FALSE(Validate(to, 0, from)) << to;
        ExpectOneBox(kInsideSource, L"Invalid folder", 0x30);
    }
    EXPECT_FALSE(temp.IsFolder(L"src\\out"));

    // Without subfolders the copy never enters its own output.
    prompt.asked.clear();
    EXPECT_TRUE(Validate(temp.Path(L"src\\out"), 0, from, false));
    // A sibling sharing the name's beginning is outside.
    EXPECT_TRUE(Validate(temp.Path(L"src2"), 0, temp.Path(L"src")));
    EXPECT_TRUE(prompt.asked.empty());
}

// Other names of a source folder: the text check cannot see them, the
// identity check must.
TEST_F(ValidationTest, AnAliasOfASourceFolderIsRefusedToo) {
    temp.MakeFolder(L"source folder with a long name\\sub");
    const std::wstring from = temp.Path(L"source folder with a long name");
    std::vector<std::wstring> aliases;
#ifdef _WIN32
    // The short name (a second drive letter is tested with the volumes,
    // which need a drive added to the prefix).
    wchar_t shortPath[MAX_PATH] = {};
    if (::GetShortPathNameW(from.c_str(), shortPath, MAX_PATH) > 0 && from != shortPath) {
        aliases.push_back(std::wstring(shortPath) + L"\\out");
    }
#else
    std::filesystem::create_directory_symlink(temp.Native(L"source folder with a long name"), temp.Native(L"alias"));
    temp.MakeFolder(L"deep");
    std::filesystem::create_directory_symlink(temp.Native(L""), temp.Native(L"deep\\up"));
    aliases = {temp.Path(L"alias\\out"), temp.Path(L"alias"),
               temp.Path(L"deep\\up\\source folder with a long name\\x\\y")};
#endif
    ASSERT_FALSE(aliases.empty()) << "no alias could be made here";
    for (const std::wstring& to : aliases) {
        prompt.asked.clear();
        EXPECT_FALSE(Validate(to, 0, from)) << to;
        ExpectOneBox(kInsideSource, L"Invalid folder", 0x30);
    }
    EXPECT_FALSE(temp.IsFolder(L"source folder with a long name\\out")) << "nothing created inside the source";
}

struct InsideCase {
    const wchar_t* path;
    const wchar_t* folder;
    bool inside;
};

TEST(IsSameOrInside, ComparesCanonicalComponents) {
    const InsideCase cases[] = {
        {L"D:\\data", L"D:\\data", true},          {L"D:\\Data\\.\\x", L"d:\\data", true},
        {L"D:\\a\\..\\data\\x", L"D:\\data", true}, {L"d:/data/x", L"D:\\data", true},
        {L"D:\\anything", L"D:\\", true},           {L"\\\\SRV\\share\\x", L"\\\\srv\\share", true},
        {L"D:\\data2", L"D:\\data", false},         {L"E:\\data", L"D:\\data", false},
        {L"D:\\", L"D:\\data", false},              {L"D:\\data\\..", L"D:\\data", false},
    };
    for (const InsideCase& c : cases) EXPECT_EQ(IsSameOrInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
}

}  // namespace
