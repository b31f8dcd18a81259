// The engine on drives the test command adds to the prefix (volumes.sh): a
// destination that runs out of space, and a second drive letter on the
// source's folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/TemporaryName.h"
#include "platform/testing/FaultPlatform.h"
#include "tests/control/TestPrompt.h"
#include "tests/engine/EngineFixture.h"
#include "control/DestinationValidation.h"

namespace {

std::wstring Drive(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

bool IsTemporary(const std::wstring& relative) {
    const std::size_t slash = relative.find_last_of(L'\\');
    return TemporaryName::IsMarked(slash == std::wstring::npos ? relative : relative.substr(slash + 1));
}

// Sources larger than the drive: what fits arrives whole, what does not is a
// row, no real name holds a partial file and no temporary is left.
TEST(Volumes, ADestinationThatRunsOutOfSpaceKeepsNothingPartial) {
    const std::wstring small = Drive("TORVANE_SMALL_DRIVE");
    if (small.empty()) GTEST_SKIP() << "no small drive (mounting a tmpfs needs root)";
    TestTree tree;
    std::map<std::wstring, std::string> sources;
    for (int i = 0; i < 5; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i) + L".bin";
        sources[name] = Pattern(2000000 + 1000 * i, static_cast<unsigned>(i));
        tree.File(L"data\\" + name, sources[name]);
    }
    const std::wstring destination = small + L"\\out";
    RemoveTree(destination);
    FaultPlatform platform(SystemPlatform());
    platform.SetInstantSleeps(true);
    CopyModule copier(platform);
    copier.Setup(tree.Path(L"data"), destination, true, true);
    copier.Run();
    EXPECT_TRUE(copier.IsDone()) << "the job ends";

    std::set<std::wstring> reported;
    ItemResult item;
    while (copier.Items().Pop(item)) {
        EXPECT_EQ(item.code, ResultCode::PartialCopy);
        EXPECT_TRUE(item.error == ErrorCode::kDiskFull || item.error == ErrorCode::kHandleDiskFull) << item.error;
        reported.insert(item.relativeName.substr(2));  // ".\f3.bin"
    }
    EXPECT_FALSE(reported.empty()) << "6 MB cannot hold 10 MB";
    const auto copied = Snapshot(destination + L"\\data");
    int whole = 0;
    for (const auto& [name, bytes] : copied) {
        EXPECT_FALSE(IsTemporary(name)) << "temporary left behind";
        if (IsTemporary(name)) continue;
        EXPECT_EQ(reported.count(name), 0u) << "a reported file has a real name";
        EXPECT_TRUE(bytes == sources[name]) << "partial file under a real name";
        ++whole;
    }
    EXPECT_EQ(whole + static_cast<int>(reported.size()), 5) << "every source accounted for";
    EXPECT_EQ(copier.Skipped(), static_cast<int>(reported.size()));
    RemoveTree(destination);
}

// A second drive letter on the source's folder: the destination check refuses
// it, and a copy started anyway never descends into its own output.
TEST(Volumes, ASecondDriveLetterOnTheSourceIsNotADifferentPlace) {
    const std::wstring alias = Drive("TORVANE_ALIAS_DRIVE");
    if (alias.empty()) GTEST_SKIP() << "no alias drive";
    TestTree tree;
    tree.File(L"data\\a.txt", "a");
    tree.File(L"data\\sub\\b.txt", "b");
    const std::wstring source = tree.Path(L"data");
    ASSERT_EQ(source.compare(0, 2, L"C:"), 0) << "the test tree lives on drive C";
    const std::wstring sameFolder = alias + source.substr(2);
    ASSERT_TRUE(SystemPlatform().Folders().IsFolder(sameFolder)) << "the alias drive is not there";

    TestPrompt prompt;
    const DestinationRequest request{sameFolder + L"\\out", SourceList::Parse(source), true, 0};
    EXPECT_FALSE(ValidateDestination(request, SystemPlatform(), prompt));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, DestinationMessages::kInsideSource);
    EXPECT_FALSE(SystemPlatform().Folders().PathExists(source + L"\\out")) << "nothing created inside the source";

    FaultPlatform platform(SystemPlatform());
    platform.SetInstantSleeps(true);
    CopyModule copier(platform);
    copier.Setup(source, sameFolder + L"\\out", true, true);
    copier.Run();
    EXPECT_TRUE(copier.IsDone());
    ItemResult item;
    ASSERT_TRUE(copier.Items().Pop(item));
    EXPECT_EQ(item.relativeName, L".\\out") << "the destination is not copied into itself";
    EXPECT_FALSE(copier.Items().Pop(item)) << item;
    EXPECT_EQ(ReadAll(source + L"\\out\\data\\sub\\b.txt"), "b");
    EXPECT_FALSE(SystemPlatform().Folders().PathExists(source + L"\\out\\data\\out")) << "descended into its own output";
}

}  // namespace
