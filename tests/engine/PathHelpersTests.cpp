#include <gtest/gtest.h>

#include "engine/PathHelpers.h"
#include "engine/TemporaryName.h"
#include "tests/engine/TestTree.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>
#endif

namespace {

struct StringCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(PathHelpers, FileNameOfTakesTheLastComponent) {
    const StringCase cases[] = {
        {L"C:\\a\\b.txt", L"b.txt"}, {L"C:\\a\\b\\", L"b\\"},  {L"C:\\", L"C:\\"},
        {L"C:", L"C:"},              {L"C:foo", L"foo"},       {L"\\\\srv\\share", L"share"},
        {L"name", L"name"},          {L"", L""},               {L"C:\\a/b", L"b"},
        {L"C:\\data", L"data"},      {L"\\", L"\\"},           {L"C:\\a\\\\b", L"b"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNameOf(c.input), c.expected) << "input " << c.input;
}

TEST(PathHelpers, RootOfFindsTheRootOrLeavesThePath) {
    const StringCase cases[] = {
        {L"C:\\a\\b", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"c:\\data", L"c:\\"},
        {L"\\\\srv\\share\\x\\y", L"\\\\srv\\share"},
        {L"\\\\srv\\share", L"\\\\srv\\share"},
        {L"\\a\\b", L"\\"},
        {L"a\\b", L"a\\b"},
        {L"C:a", L"C:a"},
    };
    for (const auto& c : cases) EXPECT_EQ(RootOf(c.input), c.expected) << "input " << c.input;
}

TEST(PathHelpers, DriveRootsAndUncPaths) {
    struct Case {
        const wchar_t* path;
        bool driveRoot;
        bool unc;
    };
    const Case cases[] = {
        {L"c:\\", true, false},       {L"Z:\\", true, false},          {L"C:", false, false},
        {L"C:\\a", false, false},     {L"\\\\srv\\share", false, true}, {L"\\\\srv\\share\\", false, true},
        {L"1:\\", false, false},      {L"\\a", false, false},
        {L"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDriveRoot(c.path), c.driveRoot) << c.path;
        EXPECT_EQ(IsUncPath(c.path), c.unc) << c.path;
    }
}

TEST(PathHelpers, JoinPathOnlyInsertsOneBackslash) {
    EXPECT_EQ(JoinPath(L"C:\\out", L"a.txt"), L"C:\\out\\a.txt");
    EXPECT_EQ(JoinPath(L"C:\\", L"a"), L"C:\\\\a");
    EXPECT_EQ(JoinPath(L".", L"sub"), L".\\sub");
}

TEST(SourceList, TextWithoutQuotesIsOneSourceEvenWithSpaces) {
    EXPECT_EQ(SourceList::Parse(L"C:\\my data\\x").Given(), std::vector<std::wstring>{L"C:\\my data\\x"});
    EXPECT_EQ(SourceList::Parse(L"").Given(), std::vector<std::wstring>{L""});
    const auto two = SourceList::Parse(L"\"C:\\a\\\" \"D:\\b c\"").Given();
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], L"C:\\a\\");  // as written; NormalizePath drops the backslash
    EXPECT_EQ(two[1], L"D:\\b c");
}

TEST(SourceList, AllSourcesExistNeedsEveryOne) {
    Platform& platform = SystemPlatform();
    TestTree tree;
    tree.File(L"a.txt", "a");
    tree.Folder(L"f");
    EXPECT_TRUE(AllSourcesExist(SourceList::Parse(tree.Path(L"a.txt")), platform));
    EXPECT_TRUE(AllSourcesExist(SourceList::Parse(tree.Path(L"f") + L"\\"), platform));
    const auto both = [&](const wchar_t* second) {
        return SourceList::Parse(L"\"" + tree.Path(L"a.txt") + L"\" \"" + tree.Path(second) + L"\"");
    };
    EXPECT_TRUE(AllSourcesExist(both(L"f"), platform));
    EXPECT_FALSE(AllSourcesExist(both(L"missing"), platform));
    EXPECT_FALSE(AllSourcesExist(SourceList::Parse(L""), platform));
    EXPECT_TRUE(PathExists(tree.Path(L"a.txt"), platform));
    EXPECT_TRUE(IsNotFolder(tree.Path(L"a.txt"), platform));
    EXPECT_TRUE(IsNotFolder(tree.Path(L"missing"), platform));
    EXPECT_TRUE(IsFolder(tree.Path(L"f"), platform));
}

#ifdef _WIN32
// Our string helpers against the shell's own functions, on the same inputs.
TEST(PathHelpers, AgreeWithTheShell) {
    const wchar_t* inputs[] = {
        L"C:\\a\\b.txt", L"C:\\a\\b\\", L"C:\\", L"C:", L"C:foo", L"\\\\srv\\share", L"\\\\srv\\share\\x\\y",
        L"name", L"C:\\a/b", L"\\a\\b", L"a\\b", L"C:a", L"\\", L"\\\\srv", L"C:\\a\\\\b",
    };
    for (const wchar_t* input : inputs) {
        wchar_t buffer[MAX_PATH];
        lstrcpynW(buffer, input, MAX_PATH);
        PathStripPathW(buffer);
        EXPECT_EQ(FileNameOf(input), buffer) << "PathStripPathW " << input;
        lstrcpynW(buffer, input, MAX_PATH);
        // On failure the path stays as it was, whatever the call left in its buffer.
        if (PathStripToRootW(buffer)) {
            EXPECT_EQ(RootOf(input), buffer) << "PathStripToRootW " << input;
        } else {
            EXPECT_EQ(RootOf(input), input) << "PathStripToRootW failed on " << input;
        }
        EXPECT_EQ(IsUncPath(input), PathIsUNCW(input) != FALSE) << "PathIsUNCW " << input;
    }
}
#endif

}  // namespace

namespace {

// The temporary of a target: recognisable, unique per name and attempt, in
// the target's folder, never longer than a target at the limit whose name
// has room for the marker, and in the long form only where the plain form
// would be too long.
TEST(TemporaryName, FitsWhereTheTargetFitsAndIsRecognised) {
    const std::wstring folder = L"C:\\out";
    const std::wstring shortName = folder + L"\\a.txt";
    const std::wstring temporary = TemporaryName::For(shortName);
    EXPECT_EQ(temporary.rfind(folder + L"\\~tv", 0), 0u);
    EXPECT_TRUE(TemporaryName::IsMarked(FileNameOf(temporary)));
    EXPECT_EQ(temporary, TemporaryName::For(shortName)) << "a rerun meets its leftover";
    EXPECT_NE(temporary, TemporaryName::For(folder + L"\\b.txt"));
    EXPECT_NE(temporary, TemporaryName::For(folder + L"\\A.txt"));
    EXPECT_NE(temporary, TemporaryName::For(shortName, 1));

    for (std::size_t length = 1; length <= 40; ++length) {
        for (std::size_t folderLength : {std::size_t{10}, TemporaryName::kMaxPathLength - length - 1}) {
            const std::wstring target = std::wstring(folderLength, L'f') + L"\\" + std::wstring(length, L'n');
            const std::wstring made = TemporaryName::For(target);
            SCOPED_TRACE(std::to_string(length) + " " + std::to_string(folderLength));
            const bool longForm = made.compare(0, 4, L"\\\\?\\") == 0;
            const std::wstring plain = longForm ? made.substr(4) : made;
            EXPECT_EQ(plain.substr(0, folderLength + 1), target.substr(0, folderLength + 1)) << "same folder";
            EXPECT_NE(plain, target);
            EXPECT_TRUE(TemporaryName::IsMarked(FileNameOf(made))) << "every temporary can be found again";
            EXPECT_EQ(longForm, plain.size() > TemporaryName::kMaxPathLength);
            if (length >= 16) {
                EXPECT_EQ(made.size(), target.size()) << "fits where the target fits";
            }
        }
    }
    // The stamp: of this name, and of this source.
    const std::uint64_t stamp = TemporaryName::StampFor(L"~tv0badf00d.part", 1234, 5678);
    EXPECT_TRUE(TemporaryName::IsStampOf(L"~tv0badf00d.part", stamp));
    EXPECT_FALSE(TemporaryName::IsStampOf(L"~tv0badf00e.part", stamp));
    EXPECT_FALSE(TemporaryName::IsStampOf(L"~tv0badf00d.part", 133000000000000000ull)) << "a time of today";
    EXPECT_TRUE(TemporaryName::IsFromSource(stamp, 1234, 5678));
    EXPECT_FALSE(TemporaryName::IsFromSource(stamp, 1235, 5678));
    // A date as FAT keeps it is a leftover's only near the stamp's own day
    // (the copy-safety table removes such leftovers); a user's file of that
    // name, dated today or another day, stays.
    constexpr std::uint64_t kDay = 864000000000ull;
    EXPECT_FALSE(TemporaryName::IsStampOf(L"~tv0badf00d.part", stamp - stamp % kDay - 4 * kDay)) << "another day";
    EXPECT_FALSE(TemporaryName::IsStampOf(L"~tv0badf00d.part", 133000000000000000ull - 133000000000000000ull % kDay));
    for (const wchar_t* userName : {L"report.part", L"~tv.part", L"~tvXYZ12345.part", L"~tv1234567.part", L"a"}) {
        EXPECT_FALSE(TemporaryName::IsMarked(userName)) << userName;
    }
}

}  // namespace
