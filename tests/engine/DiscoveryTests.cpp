// Discovery's counting and reporting, run on the test thread.

#include <algorithm>

#include "app/core/CommandLine.h"
#include "app/core/Diagnostics.h"
#include "app/core/Exception.h"
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
    EXPECT_EQ(with.filesTotal, 5);
    EXPECT_EQ(with.foldersTotal, 2);
    EXPECT_EQ(with.bytesTotal, 70031u);
    EXPECT_TRUE(with.started);
    EXPECT_TRUE(with.done);
    EXPECT_EQ(platform.KeepAwakeCalls(), (std::vector<bool>{true, false}));

    auto& without = Run(tree.Path(L"data"), false);
    EXPECT_EQ(without.filesTotal, 3);
    EXPECT_EQ(without.foldersTotal, 1);
    EXPECT_EQ(without.bytesTotal, 70030u);

    auto& file = Run(tree.Path(L"data\\c"));
    EXPECT_EQ(file.filesTotal, 1);
    EXPECT_EQ(file.foldersTotal, 0);
    EXPECT_EQ(file.bytesTotal, 70000u);

    auto& both = Run(L"\"" + tree.Path(L"data\\sub") + L"\" \"" + tree.Path(L"data\\a") + L"\"");
    EXPECT_EQ(both.filesTotal, 3);
    EXPECT_EQ(both.foldersTotal, 1);
    EXPECT_TRUE(Drain(both.items).empty());
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
        FaultPlatform faulty;
        faulty.SetInstantSleeps(true);
        faulty.Fail(PlatformCall::FindFirst, L"data\\x", c.error);
        EnumerationModule discovery(faulty);
        discovery.Configure(tree.Path(L"data"), true);
        discovery.Run();
        const auto items = Drain(discovery.items);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0], (ItemResult{c.code, tree.Path(L"data\\x"), L"data\\x", c.error, true}));
        EXPECT_EQ(discovery.filesTotal, 5);
        EXPECT_EQ(discovery.foldersTotal, 3);
        EXPECT_TRUE(discovery.done);
    }
}

TEST_F(Discovery, ListingThatBreaksOffIsReported) {
    MakeData();
    platform.Fail(PlatformCall::FindNext, L"\\sub", ErrorCode::kIoDevice, 1, 1);
    auto& discovery = Run(tree.Path(L"data"));
    const auto items = Drain(discovery.items);
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
    EXPECT_EQ(module->foldersTotal, 1);
    EXPECT_EQ(module->filesTotal, 0);
    const auto items = Drain(module->items);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::AccessDeniedListing, tree.Path(L"gone"), L".",
                                    ErrorCode::kPathNotFound, true}));
}

TEST_F(Discovery, ConfigureAndSourceComparison) {
    EnumerationModule discovery(platform);
    discovery.filesTotal = 4;
    discovery.done = true;
    discovery.Configure(L"\"C:\\Data\" \"D:\\x\\\"", false);
    EXPECT_EQ(discovery.sources, (std::vector<std::wstring>{L"C:\\Data", L"D:\\x"}));
    EXPECT_EQ(discovery.filesTotal, 0);
    EXPECT_FALSE(discovery.done);
    EXPECT_FALSE(discovery.includeSubfolders);
    EXPECT_TRUE(discovery.HasSameSources(L"\"C:\\Data\" \"D:\\x\\\""));
    EXPECT_FALSE(discovery.HasSameSources(L"\"C:\\data\" \"D:\\x\""));
    EXPECT_FALSE(discovery.HasSameSources(L"C:\\Data"));
    discovery.Stop();
    EXPECT_EQ(discovery.sources, std::vector<std::wstring>{L""});
    EXPECT_TRUE(discovery.includeSubfolders);
    EXPECT_TRUE(discovery.HasSameSources(L""));
}

TEST_F(Discovery, ThreadThatCannotBeCreatedThrowsForBothModules) {
    platform.Fail(PlatformCall::StartThread, L"", ErrorCode::kNotEnoughMemory);
    Diagnostics::Capture capture;
    EnumerationModule discovery(platform);
    discovery.Configure(tree.Root(), true);
    EXPECT_THROW(discovery.Start(), Exception);
    EXPECT_FALSE(discovery.thread);
    Copier().Setup(tree.Root(), tree.Path(L"out"), true, true);
    EXPECT_THROW(Copier().Start(), Exception);
    EXPECT_FALSE(Copier().thread);
    const auto lines = capture.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"CreateThread failed. [8]\n"), 2);
}

}  // namespace
