// The copy worker's walk, run on the test thread: placement, order, relative
// names, options and listing failures.

#include <algorithm>
#include <cwchar>
#include <numeric>

#include "core/Diagnostics.h"
#include "tests/engine/EngineFixture.h"

#ifndef _WIN32
#include "platform/posix/PosixPlatform.h"
#endif

namespace {

using Files = std::map<std::wstring, std::string>;

class CopyWorker : public EngineTest {
protected:
    std::wstring Out() { return tree.Path(L"out"); }
    void MakeData() {
        tree.File(L"data\\a.txt", "a");
        tree.File(L"data\\b.txt", Pattern(70000));
        tree.File(L"data\\sub\\c.txt", "c");
        tree.Folder(L"data\\sub\\empty");
    }
};

TEST_F(CopyWorker, FolderGoesIntoDestinationUnderItsName) {
    MakeData();
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_EQ(Snapshot(Out()), (Files{{L"data\\", ""},
                                      {L"data\\a.txt", "a"},
                                      {L"data\\b.txt", Pattern(70000)},
                                      {L"data\\sub\\", ""},
                                      {L"data\\sub\\c.txt", "c"},
                                      {L"data\\sub\\empty\\", ""}}));
    EXPECT_EQ(Copier().FilesDone(), 3);
    EXPECT_EQ(Copier().BytesCopied(), 70002u);
    EXPECT_TRUE(Copier().HasStarted());
    EXPECT_TRUE(Copier().IsDone());
    EXPECT_EQ(Copier().GetStatusText(), L"");
    EXPECT_EQ(platform.KeepAwakeCalls(), (std::vector<bool>{true, false}));
    // The two fixed waits, in slices a cancel can cut short.
    const auto sleeps = platform.Sleeps();
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0u), 1000u);
    EXPECT_LE(*std::max_element(sleeps.begin(), sleeps.end()), 10u);
    EXPECT_TRUE(Drain(Copier().Items()).empty());
}

TEST_F(CopyWorker, WithoutSubfoldersOnlyTheTopFilesAreCopied) {
    MakeData();
    RunCopy(tree.Path(L"data") + L"\\", Out(), false);
    EXPECT_EQ(Snapshot(Out()), (Files{{L"data\\", ""}, {L"data\\a.txt", "a"}, {L"data\\b.txt", Pattern(70000)}}));
}

TEST_F(CopyWorker, OnlyAFirstSourceFolderCreatesTheDestination) {
    tree.File(L"f.txt", "f");
    RunCopy(tree.Path(L"f.txt"), Out());
    EXPECT_FALSE(platform.Folders().PathExists(Out()));
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].code, ResultCode::AccessDeniedTarget);
    EXPECT_EQ(items[0].path, Out() + L"\\f.txt");
    EXPECT_EQ(items[0].relativeName, L".");

    // A folder first creates it (one level only), then later file sources land in it.
    tree.Folder(L"d");
    RunCopy(L"\"" + tree.Path(L"d") + L"\" \"" + tree.Path(L"f.txt") + L"\"", Out());
    EXPECT_EQ(Snapshot(Out()), (Files{{L"d\\", ""}, {L"f.txt", "f"}}));
    RunCopy(tree.Path(L"d"), tree.Path(L"deep\\er"));
    EXPECT_FALSE(platform.Folders().PathExists(tree.Path(L"deep")));
}

TEST_F(CopyWorker, TwoSourcesWithOneNameShareAFolderAndSkipExistingFiles) {
    tree.File(L"one\\data\\x.txt", "first");
    tree.File(L"two\\data\\x.txt", "second");
    tree.File(L"two\\data\\y.txt", "y");
    RunCopy(L"\"" + tree.Path(L"one\\data") + L"\" \"" + tree.Path(L"two\\data") + L"\"", Out());
    EXPECT_EQ(Snapshot(Out()), (Files{{L"data\\", ""}, {L"data\\x.txt", "first"}, {L"data\\y.txt", "y"}}));
    EXPECT_EQ(Copier().FilesDone(), 2);
    EXPECT_EQ(Copier().Skipped(), 1);
    EXPECT_EQ(Copier().SkippedText(), L"1");
}

TEST_F(CopyWorker, FilesComeBeforeSubfoldersAndCarryRelativeNames) {
    tree.File(L"data\\sub\\c.txt", "c");
    tree.File(L"data\\a.txt", "a");
    tree.File(L"data\\sub\\deeper\\d.txt", "d");
    tree.File(L"data\\b.txt", "b");
    // Every open fails, so every file leaves an item, in the order visited.
    platform.Fail(PlatformCall::OpenForBackupRead, L"", ErrorCode::kSharingViolation);
    RunCopy(tree.Path(L"data"), Out());
    std::vector<std::wstring> names;
    for (const auto& item : Drain(Copier().Items())) names.push_back(item.relativeName);
    ASSERT_EQ(names.size(), 4u);
    std::sort(names.begin(), names.begin() + 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L".\\a.txt", L".\\b.txt", L".\\sub\\c.txt",
                                                L".\\sub\\deeper\\d.txt"}));
}

TEST_F(CopyWorker, FolderThatCannotBeListedIsReportedAndTheWalkGoesOn) {
    MakeData();
    tree.File(L"data\\z\\z.txt", "z");
    platform.Fail(PlatformCall::FindFirst, L"data\\sub", ErrorCode::kNotReady);
    RunCopy(tree.Path(L"data"), Out());
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::AccessDeniedListing, tree.Path(L"data\\sub"), L".\\sub",
                                    ErrorCode::kNotReady, true}));
    EXPECT_EQ(ReadAll(Out() + L"\\data\\z\\z.txt"), "z");
    EXPECT_TRUE(Copier().IsDone());
}

TEST_F(CopyWorker, ListingThatBreaksOffIsReported) {
    MakeData();
    platform.Fail(PlatformCall::FindNext, L"\\data", ErrorCode::kIoDevice, 2, 1);
    RunCopy(tree.Path(L"data"), Out());
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::AccessDeniedListing, tree.Path(L"data"), L".", ErrorCode::kIoDevice,
                                    true}));
}

TEST_F(CopyWorker, FolderThatCannotBeCreatedShowsAsFailuresOfItsFiles) {
    MakeData();
    platform.Fail(PlatformCall::CreateFolder, L"\\data\\sub", ErrorCode::kAccessDenied);
    Diagnostics::Capture capture;
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_TRUE(capture.Contains(L"CreateDirectory failed. [5]\n"));
    // The folder itself, its file and its subfolder: every path that was not
    // copied has a row, and no attributes are set on a folder the job did not make.
    EXPECT_EQ(Drain(Copier().Items()),
              (std::vector<ItemResult>{
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub", L".\\sub", ErrorCode::kAccessDenied, true},
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub\\c.txt", L".\\sub\\c.txt",
                   ErrorCode::kPathNotFound},
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub\\empty", L".\\sub\\empty",
                   ErrorCode::kPathNotFound, true}}));
    EXPECT_EQ(ReadAll(Out() + L"\\data\\a.txt"), "a");
    EXPECT_TRUE(Copier().IsDone());
}

TEST_F(CopyWorker, SymbolicLinksArePassedOver) {
    tree.File(L"data\\real.txt", "r");
    tree.File(L"elsewhere\\secret.txt", "s");
    if (!MakeSymbolicLink(tree.Path(L"elsewhere"), tree.Path(L"data\\linkdir"), true) ||
        !MakeSymbolicLink(tree.Path(L"elsewhere\\secret.txt"), tree.Path(L"data\\link.txt"), false)) {
        GTEST_SKIP() << "this platform cannot make symbolic links here";
    }
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_EQ(Snapshot(Out()), (Files{{L"data\\", ""}, {L"data\\real.txt", "r"}}));

    EnumerationModule discovery(platform);
    discovery.Configure(tree.Path(L"data"), true);
    discovery.Run();
    EXPECT_EQ(discovery.FilesTotal(), 1);
    EXPECT_EQ(discovery.FoldersTotal(), 1);
}

TEST_F(CopyWorker, DotAndDotDotInASourceNeverPlaceFilesOutsideTheDestination) {
    MakeData();
    for (const wchar_t* written : {L"data\\sub\\..", L"data\\.", L"data\\sub\\..\\..\\data\\"}) {
        SCOPED_TRACE(std::string(written, written + std::wcslen(written)));
        TestTree out;
        RunCopy(tree.Path(written), out.Path(L"dest"));
        const Files copied = Snapshot(out.Root());
        EXPECT_EQ(copied.count(L"dest\\data\\a.txt"), 1u);
        EXPECT_EQ(copied.count(L"dest\\data\\sub\\c.txt"), 1u);
        for (const auto& entry : copied) {
            if (entry.first == L"dest\\") continue;
            EXPECT_EQ(entry.first.rfind(L"dest\\data\\", 0), 0u) << "misplaced";
        }
    }
    EnumerationModule discovery(platform);
    discovery.Configure(tree.Path(L"data\\sub\\.."), true);
    discovery.Run();
    EXPECT_EQ(discovery.FilesTotal(), 3) << "discovery counts what the copy copies";
}

TEST_F(CopyWorker, ExistingItemsInTheDestinationAreNeverAltered) {
    MakeData();
    // The job's folder exists already, and a read-only file stands where its
    // subfolder must go. Setting attributes on the existing folder would be
    // refused, so any attempt shows as a row.
    tree.Folder(L"out\\data");
    tree.File(L"out\\data\\sub", "a user's file");
    ASSERT_EQ(platform.Folders().SetAttributes(Out() + L"\\data\\sub", FileAttribute::kReadOnly), 0u);
    platform.Fail(PlatformCall::SetAttributes, L"\\out\\data", ErrorCode::kAccessDenied);
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_EQ(Drain(Copier().Items()),
              (std::vector<ItemResult>{
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub", L".\\sub", ErrorCode::kAlreadyExists,
                   true},
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub\\c.txt", L".\\sub\\c.txt",
                   ErrorCode::kPathNotFound},
                  {ResultCode::AccessDeniedTarget, Out() + L"\\data\\sub\\empty", L".\\sub\\empty",
                   ErrorCode::kPathNotFound, true}}));
    EXPECT_EQ(ReadAll(Out() + L"\\data\\sub"), "a user's file");
    std::uint32_t attributes = 0;
    ASSERT_EQ(platform.Folders().GetAttributes(Out() + L"\\data\\sub", attributes), 0u);
    EXPECT_EQ(attributes & (FileAttribute::kReadOnly | FileAttribute::kDirectory), FileAttribute::kReadOnly);
    EXPECT_EQ(ReadAll(Out() + L"\\data\\b.txt"), Pattern(70000));
}

// Reparse tags as the listing reports them: only name surrogates lead
// elsewhere; deduplicated, offline and cloud files are data like any other.
TEST_F(CopyWorker, OnlyNameSurrogatesAmongReparsePointsArePassedOver) {
    tree.File(L"data\\plain.txt", "p");
    tree.File(L"data\\dedup.bin", "deduplicated");
    tree.File(L"data\\cloud.txt", "placeholder");
    tree.File(L"data\\junction.lnk", "not followed");
    tree.File(L"data\\untagged.lnk", "not followed");
    platform.ReportReparseTag(L"\\dedup.bin", 0x80000013);
    platform.ReportReparseTag(L"\\cloud.txt", 0x9000001A);
    platform.ReportReparseTag(L"\\junction.lnk", ReparseTag::kMountPoint);
    platform.ReportReparseTag(L"\\untagged.lnk", 0);
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_EQ(Snapshot(Out()), (Files{{L"data\\", ""},
                                      {L"data\\cloud.txt", "placeholder"},
                                      {L"data\\dedup.bin", "deduplicated"},
                                      {L"data\\plain.txt", "p"}}));
    EnumerationModule discovery(platform);
    discovery.Configure(tree.Path(L"data"), true);
    discovery.Run();
    EXPECT_EQ(discovery.FilesTotal(), 3);
    EXPECT_EQ(discovery.BytesTotal(), 1u + 12u + 11u);
}

// The second line of defence behind the destination check: whatever path
// leads there, the walk never enters the destination or the folder it copies into.
TEST_F(CopyWorker, NeverDescendsIntoItsOwnOutput) {
    struct Case {
        const wchar_t* destination;
        const wchar_t* ownOutput;  // the relative name of the folder not entered
        const wchar_t* copied;     // where data\sub\c.txt arrives
    };
    for (const Case& c : {Case{L"data\\out", L".\\out", L"data\\out\\data\\sub\\c.txt"},
                          Case{L"data", L".\\data", L"data\\data\\sub\\c.txt"}}) {
        SCOPED_TRACE(std::string(c.destination, c.destination + std::wcslen(c.destination)));
        TestTree local;
        local.File(L"data\\a.txt", "a");
        local.File(L"data\\sub\\c.txt", "c");
        local.Folder(c.destination);
        CopyModule copier(platform);
        copier.Setup(local.Path(L"data"), local.Path(c.destination), true, true);
        copier.Run();
        const auto items = Drain(copier.Items());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].code, ResultCode::Unspecified);
        EXPECT_EQ(items[0].relativeName, c.ownOutput);
        EXPECT_EQ(ReadAll(local.Path(c.copied)), "c");
        EXPECT_LT(Snapshot(local.Root()).size(), 12u) << "the copy went on into its own output";
        EXPECT_TRUE(copier.IsDone());
    }
}

TEST_F(CopyWorker, ReadOnlyFilesAndFoldersAreCopiedWithTheirAttributes) {
    tree.File(L"data\\ro.txt", "ro");
    tree.File(L"data\\.hidden", "h");
    ASSERT_EQ(platform.Folders().SetAttributes(tree.Path(L"data\\ro.txt"), FileAttribute::kReadOnly), 0u);
    RunCopy(tree.Path(L"data"), Out());
    EXPECT_EQ(ReadAll(Out() + L"\\data\\ro.txt"), "ro");
    EXPECT_EQ(ReadAll(Out() + L"\\data\\.hidden"), "h");
    std::uint32_t attributes = 0;
    ASSERT_EQ(platform.Folders().GetAttributes(Out() + L"\\data\\ro.txt", attributes), 0u);
    EXPECT_TRUE(attributes & FileAttribute::kReadOnly);
    EXPECT_TRUE(Drain(Copier().Items()).empty());
}

TEST_F(CopyWorker, DriveRootWithoutReadableLabelIsReportedNotSkippedSilently) {
    platform.Fail(PlatformCall::VolumeLabel, L"", ErrorCode::kNotReady);
    tree.Folder(L"out");
    RunCopy(L"Z:\\", Out());
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::ListingFailed, L"Z:\\", L".", ErrorCode::kNotReady, true}));
    EXPECT_TRUE(platform.Folders().IsEmptyFolder(Out()));
    EXPECT_TRUE(Copier().IsDone());
}

#ifndef _WIN32
TEST(CopyWorkerDrive, DriveRootGoesIntoItsLabelOrLocalDisk) {
    TestTree tree;
    tree.File(L"drive\\top.txt", "t");
    tree.File(L"drive\\sub\\s.txt", "s");
    PosixPlatform posix;
    posix.MapDrive(L'E', TestTree::PosixPathOf(tree.Path(L"drive")));
    FaultPlatform platform(posix);
    platform.SetInstantSleeps(true);
    CopyModule module(platform);
    module.Setup(L"e:", tree.Path(L"out"), true, true);
    module.Run();
    EXPECT_EQ(Snapshot(tree.Path(L"out")),
              (Files{{L"Local Disk\\", ""}, {L"Local Disk\\top.txt", "t"}, {L"Local Disk\\sub\\", ""},
                     {L"Local Disk\\sub\\s.txt", "s"}}));
    // The files take the attributes their listing gave; sub's are read for
    // the folder; the root has none of its own to give.
    EXPECT_EQ(platform.Calls(PlatformCall::GetAttributes), 1) << "sub only, never the root";
}
#endif

TEST_F(CopyWorker, SetupStoresTheJobAndWritesItsTrace) {
    Diagnostics::Capture capture;
    Copier().Setup(L"\"C:\\a b\" \"D:\\c\"", L"D:\\out\\", false, false);
    EXPECT_EQ(Copier().Sources(), (std::vector<std::wstring>{L"C:\\a b", L"D:\\c"}));
    EXPECT_EQ(Copier().Destination(), L"D:\\out");
    EXPECT_FALSE(Copier().IncludesSubfolders());
    EXPECT_FALSE(Copier().CopiesAttributes());
    EXPECT_TRUE(Copier().IsSetUp());
    EXPECT_TRUE(capture.Contains(L"CopyModule Setup: \nFrom: \"C:\\a b\" \"D:\\c\"\nTo: D:\\out\\\n [0]\n"));
    EXPECT_EQ(Copier().SkippedText(), L"none");
    Copier().Reset();
    EXPECT_FALSE(Copier().IsSetUp());
}

}  // namespace
