// Discovery's counting and reporting, run on the test thread.

#include <algorithm>

#include "core/CommandLine.h"
#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "tests/engine/EngineFixture.h"

namespace {

class Discovery : public EngineTest {
protected:
    EnumerationModule& Run(const std::wstring& sourceText, bool subfolders = true) {
        module = std::make_unique<EnumerationModule>(platform);
        module->Configure(sourceText, subfolders);
        module->Run();
        return *module;
    }
    void MakeData() {
        tree.File(L"data\\a", Pattern(10));
        tree.File(L"data\\b", Pattern(20));
        tree.File(L"data\\c", Pattern(70000));
        tree.File(L"data\\sub\\d", Pattern(1));
        tree.File(L"data\\sub\\e", "");
    }
    std::unique_ptr<EnumerationModule> module;
};

TEST_F(Discovery, CountsFilesFoldersAndBytes) {
    MakeData();
    auto& with = Run(tree.Path(L"data"));
    EXPECT_EQ(with.FilesTotal(), 5);
    EXPECT_EQ(with.FoldersTotal(), 2);
    EXPECT_EQ(with.BytesTotal(), 70031u);
    EXPECT_TRUE(with.HasStarted());
    EXPECT_TRUE(with.IsDone());
    EXPECT_EQ(platform.KeepAwakeCalls(), (std::vector<bool>{true, false}));

    auto& without = Run(tree.Path(L"data"), false);
    EXPECT_EQ(without.FilesTotal(), 3);
    EXPECT_EQ(without.FoldersTotal(), 1);
    EXPECT_EQ(without.BytesTotal(), 70030u);

    auto& file = Run(tree.Path(L"data\\c"));
    EXPECT_EQ(file.FilesTotal(), 1);
    EXPECT_EQ(file.FoldersTotal(), 0);
    EXPECT_EQ(file.BytesTotal(), 70000u);

    auto& both = Run(L"\"" + tree.Path(L"data\\sub") + L"\" \"" + tree.Path(L"data\\a") + L"\"");
    EXPECT_EQ(both.FilesTotal(), 3);
    EXPECT_EQ(both.FoldersTotal(), 1);
    EXPECT_TRUE(Drain(both.Items()).empty());
}

TEST_F(Discovery, ListingFailuresAreItemsNamedFromTheSource) {
    struct Case {
        std::uint32_t error;
        ResultCode code;
    };
    const Case cases[] = {
        {ErrorCode::kAccessDenied, ResultCode::AccessDeniedListing},
        {ErrorCode::kPathNotFound, ResultCode::AccessDeniedListing},
        {ErrorCode::kFileNotFound, ResultCode::ListingFailed},
        {ErrorCode::kNotReady, ResultCode::ListingFailed},
    };
    MakeData();
    tree.File(L"data\\x\\hidden-by-failure", "z");
    for (const auto& c : cases) {
        FaultPlatform faulty(SystemPlatform());
        faulty.SetInstantSleeps(true);
        faulty.Fail(PlatformCall::FindFirst, L"data\\x", c.error);
        EnumerationModule discovery(faulty);
        discovery.Configure(tree.Path(L"data"), true);
        discovery.Run();
        const auto items = Drain(discovery.Items());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0], (ItemResult{c.code, tree.Path(L"data\\x"), L"data\\x", c.error, true}));
        EXPECT_EQ(discovery.FilesTotal(), 5);
        EXPECT_EQ(discovery.FoldersTotal(), 3);
        EXPECT_TRUE(discovery.IsDone());
    }
}

TEST_F(Discovery, ListingThatBreaksOffIsReported) {
    MakeData();
    platform.Fail(PlatformCall::FindNext, L"\\sub", ErrorCode::kIoDevice, 1, 1);
    auto& discovery = Run(tree.Path(L"data"));
    const auto items = Drain(discovery.Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::ListingFailed, tree.Path(L"data\\sub"), L"data\\sub",
                                    ErrorCode::kIoDevice, true}));
}

TEST_F(Discovery, VanishedSourceCountsAsAFolderThatCannotBeListed) {
    tree.Folder(L"gone");
    module = std::make_unique<EnumerationModule>(platform);
    module->Configure(tree.Path(L"gone"), true);
    RemoveTree(tree.Path(L"gone"));
    module->Run();
    EXPECT_EQ(module->FoldersTotal(), 1);
    EXPECT_EQ(module->FilesTotal(), 0);
    const auto items = Drain(module->Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::AccessDeniedListing, tree.Path(L"gone"), L".",
                                    ErrorCode::kPathNotFound, true}));
}

TEST_F(Discovery, ConfigureAndSourceComparison) {
    EnumerationModule discovery(platform);
    tree.File(L"one", "1");
    discovery.Configure(tree.Path(L"one"), true);
    discovery.Run();
    ASSERT_TRUE(discovery.IsDone());
    ASSERT_EQ(discovery.FilesTotal(), 1);
    discovery.Configure(L"\"C:\\Data\" \"D:\\x\\\"", false);
    EXPECT_EQ(discovery.Sources(), (std::vector<std::wstring>{L"C:\\Data", L"D:\\x"}));
    EXPECT_EQ(discovery.FilesTotal(), 0);
    EXPECT_FALSE(discovery.IsDone());
    EXPECT_FALSE(discovery.IncludesSubfolders());
    EXPECT_TRUE(discovery.HasSameSources(SourceList::Parse(L"\"C:\\Data\" \"D:\\x\\\"")));
    EXPECT_FALSE(discovery.HasSameSources(SourceList::Parse(L"\"C:\\data\" \"D:\\x\"")));
    EXPECT_FALSE(discovery.HasSameSources(SourceList::Parse(L"C:\\Data")));
    discovery.Stop();
    EXPECT_EQ(discovery.Sources(), std::vector<std::wstring>{L""});
    EXPECT_TRUE(discovery.IncludesSubfolders());
    EXPECT_TRUE(discovery.HasSameSources(SourceList::Parse(L"")));
}

TEST_F(Discovery, ThreadThatCannotBeCreatedThrowsForBothModules) {
    platform.Fail(PlatformCall::StartThread, L"", ErrorCode::kNotEnoughMemory);
    Diagnostics::Capture capture;
    EnumerationModule discovery(platform);
    discovery.Configure(tree.Root(), true);
    EXPECT_THROW(discovery.Start(), Exception);
    EXPECT_FALSE(discovery.HasThread());
    Copier().Setup(tree.Root(), tree.Path(L"out"), true, true);
    EXPECT_THROW(Copier().Start(), Exception);
    EXPECT_FALSE(Copier().HasThread());
    const auto lines = capture.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"CreateThread failed. [8]\n"), 2);
}

}  // namespace
