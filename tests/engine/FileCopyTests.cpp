#include <functional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/TemporaryName.h"
#include "tests/engine/EngineFixture.h"

namespace {

constexpr std::size_t kBlock = CopyModule::kBlockSize;

class FileCopy : public EngineTest {
protected:
    std::wstring Source() { return tree.Path(L"s.bin"); }
    std::wstring Target() { return tree.Path(L"t.bin"); }
    void Copy(std::uint64_t expected = CopyModule::kUnknownSize) {
        CopyModuleTestSeam::CopyOneFile(Copier(), L".\\s.bin", Source(), Target(), expected);
    }
};

TEST_F(FileCopy, CopiesEveryByteAndCounts) {
    const std::string content = Pattern(3 * kBlock + 123);
    tree.File(L"s.bin", content);
    Copy(content.size());
    EXPECT_EQ(ReadAll(Target()), content);
    EXPECT_EQ(Copier().FilesDone(), 1);
    EXPECT_EQ(Copier().BytesCopied(), content.size());
    EXPECT_EQ(Copier().Skipped(), 0);
    EXPECT_TRUE(Drain(Copier().Items()).empty());
    EXPECT_EQ(Copier().GetStatusText(), L".\\s.bin");
}

TEST_F(FileCopy, EmptyFileGivesEmptyTarget) {
    tree.File(L"s.bin", "");
    Copy();
    EXPECT_EQ(ReadAll(Target()), "");
    EXPECT_EQ(Copier().FilesDone(), 1);
    EXPECT_TRUE(Drain(Copier().Items()).empty());
}

// One byte over a block: two passes. The short read that reaches the file's
// size is its end; no read of nothing is needed to learn that.
TEST_F(FileCopy, OneByteOverABlockTakesTwoPasses) {
    const std::string content = Pattern(kBlock + 1);
    tree.File(L"s.bin", content);
    std::vector<std::uint64_t> copiedBeforeRead;
    platform.OnRead([&](const std::wstring&, int) { copiedBeforeRead.push_back(Copier().BytesCopied()); });
    Copy(content.size());
    EXPECT_EQ(copiedBeforeRead, (std::vector<std::uint64_t>{0, kBlock}));
    EXPECT_EQ(ReadAll(Target()), content);
}

// Every way a file can end, driven through the platform. Each case prepares
// the tree and the faults, then states the item, counters and target.
struct Outcome {
    const char* name;
    std::function<void(TestTree&, FaultPlatform&)> prepare;
    bool expectItem;
    ResultCode code;
    std::uint32_t error;
    bool itemNamesTarget;
    int filesDone;
    int skipped;
    // What the target holds afterwards: "absent", "source", "existing", or a
    // byte count of the source's prefix.
    std::string target;
    // The copy is given no size (a source named directly) and must read it.
    bool unknownSize = false;
};

const std::string kSource = Pattern(3 * kBlock + 500, 7);

std::wstring TemporaryNameOf(const std::wstring& name) { return TemporaryName::For(name); }

std::vector<Outcome> Outcomes() {
    auto none = [](TestTree&, FaultPlatform&) {};
    return {
        {"complete", none, false, ResultCode::Unspecified, 0, false, 1, 0, "source"},
        {"target exists",
         [](TestTree& t, FaultPlatform&) { t.File(L"t.bin", "older and different"); }, false,
         ResultCode::Unspecified, 0, false, 0, 1, "existing"},
        {"target appears between the test and the create",
         [](TestTree& t, FaultPlatform& p) {
             t.File(L"t.bin", "older and different");
             p.HidePath(L"\\t.bin");
         },
         false, ResultCode::Unspecified, 0, false, 0, 1, "existing"},
        {"source locked",
         [](TestTree&, FaultPlatform& p) {
             p.Fail(PlatformCall::OpenForBackupRead, L"\\s.bin", ErrorCode::kSharingViolation);
         },
         true, ResultCode::FileLocked, ErrorCode::kSharingViolation, false, 0, 0, "absent"},
        {"source denied",
         [](TestTree&, FaultPlatform& p) {
             p.Fail(PlatformCall::OpenForBackupRead, L"\\s.bin", ErrorCode::kAccessDenied);
         },
         true, ResultCode::AccessDeniedSource, ErrorCode::kAccessDenied, false, 0, 0, "absent"},
        {"source size unreadable",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::FileSize, L"\\s.bin", ErrorCode::kIoDevice); }, true,
         ResultCode::AccessDeniedSource, ErrorCode::kIoDevice, false, 0, 0, "absent", true},
        {"target cannot be created",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::CreateNewFile, L".part", ErrorCode::kAccessDenied); },
         true, ResultCode::AccessDeniedTarget, ErrorCode::kAccessDenied, true, 0, 0, "absent"},
        // A failed write, read or close leaves no file at all under the
        // target's name, so a later run of the job copies it again.
        {"second write refused",
         [](TestTree&, FaultPlatform& p) { p.FailWrite(L".part", 2, ErrorCode::kDiskFull); }, true,
         ResultCode::PartialCopy, ErrorCode::kDiskFull, false, 1, 1, "absent"},
        {"write accepts part of a block",
         [](TestTree&, FaultPlatform& p) { p.FailWrite(L".part", 3, ErrorCode::kDiskFull, 100); }, true,
         ResultCode::PartialCopy, ErrorCode::kDiskFull, false, 1, 1, "absent"},
        {"read fails midway",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::ReadFile, L"\\s.bin", ErrorCode::kIoDevice, 2, 1); },
         true, ResultCode::PartialCopy, ErrorCode::kIoDevice, false, 1, 1, "absent"},
        {"close of the written file fails",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::CloseWrittenFile, L".part", ErrorCode::kDiskFull); },
         true, ResultCode::PartialCopy, ErrorCode::kDiskFull, false, 1, 1, "absent"},
        {"target appears while the file is copied",
         [](TestTree& t, FaultPlatform& p) {
             p.OnRead([&t](const std::wstring&, int number) {
                 if (number == 2) t.File(L"t.bin", "written meanwhile");
             });
         },
         false, ResultCode::Unspecified, 0, false, 0, 1, "meanwhile"},
        {"final name refused",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::RenameNoReplace, L"\\t.bin", ErrorCode::kAccessDenied); },
         true, ResultCode::AccessDeniedTarget, ErrorCode::kAccessDenied, true, 0, 0, "absent"},
        {"leftover of a killed copy is replaced",
         [](TestTree& t, FaultPlatform&) { t.Leftover(TemporaryNameOf(L"t.bin"), "half a file"); }, false,
         ResultCode::Unspecified, 0, false, 1, 0, "source"},
        {"file shrank while copied",
         [](TestTree&, FaultPlatform& p) { p.LimitReads(L"\\s.bin", kBlock + 10); }, true, ResultCode::PartialCopy, 0,
         false, 1, 1, std::to_string(kBlock + 10)},
        {"attributes unreadable",
         [](TestTree&, FaultPlatform& p) { p.Fail(PlatformCall::GetAttributes, L"\\s.bin", ErrorCode::kAccessDenied); },
         true, ResultCode::AttributesNotRead, ErrorCode::kAccessDenied, false, 1, 0, "source"},
        // Read-only, hidden, system and archive come with the create; only
        // what a new file cannot be created with is set afterwards.
        {"attributes not written",
         [](TestTree&, FaultPlatform& p) {
             p.ReportAttributes(L"\\s.bin", FileAttribute::kNotContentIndexed);
             p.Fail(PlatformCall::SetAttributes, L".part", ErrorCode::kAccessDenied);
         },
         true, ResultCode::AttributesNotWritten, ErrorCode::kAccessDenied, false, 1, 0, "source"},
    };
}

TEST_F(FileCopy, FailureTable) {
    for (const auto& outcome : Outcomes()) {
        SCOPED_TRACE(outcome.name);
        TestTree caseTree;
        FaultPlatform casePlatform(SystemPlatform());
        CopyModule module(casePlatform);
        caseTree.File(L"s.bin", kSource);
        outcome.prepare(caseTree, casePlatform);
        const std::string before = ReadAll(caseTree.Path(L"t.bin"));
        CopyModuleTestSeam::CopyOneFile(module, L".\\s.bin", caseTree.Path(L"s.bin"), caseTree.Path(L"t.bin"),
                        outcome.unknownSize ? CopyModule::kUnknownSize : kSource.size());

        const auto items = Drain(module.Items());
        if (outcome.expectItem) {
            ASSERT_EQ(items.size(), 1u);
            const std::wstring path = outcome.itemNamesTarget ? caseTree.Path(L"t.bin") : caseTree.Path(L"s.bin");
            EXPECT_EQ(items[0], (ItemResult{outcome.code, path, L".\\s.bin", outcome.error}));
        } else {
            EXPECT_TRUE(items.empty()) << items[0];
        }
        EXPECT_EQ(module.FilesDone(), outcome.filesDone);
        EXPECT_EQ(module.Skipped(), outcome.skipped);

        const std::string after = ReadAll(caseTree.Path(L"t.bin"));
        if (outcome.target == "absent") {
            EXPECT_EQ(after, "<missing>");
        } else if (outcome.target == "source") {
            EXPECT_EQ(after, kSource);
        } else if (outcome.target == "existing") {
            EXPECT_EQ(after, before);
        } else if (outcome.target == "meanwhile") {
            EXPECT_EQ(after, "written meanwhile");
        } else {
            const std::size_t prefix = std::stoul(outcome.target);
            EXPECT_EQ(after, kSource.substr(0, prefix));
            EXPECT_EQ(module.BytesCopied(), prefix);
        }
        EXPECT_EQ(ReadAll(caseTree.Path(L"s.bin")), kSource) << "the source is never touched";
        EXPECT_EQ(ReadAll(caseTree.Path(TemporaryNameOf(L"t.bin"))), "<missing>") << "no temporary is left";
    }
}

TEST_F(FileCopy, SizeChangedSinceTheListingIsPartialBothWays) {
    tree.File(L"s.bin", Pattern(5000));
    for (std::uint64_t listed : {std::uint64_t{4000}, std::uint64_t{6000}}) {
        CopyModule module(platform);
        const std::wstring target = tree.Path(L"t" + std::to_wstring(listed));
        CopyModuleTestSeam::CopyOneFile(module, L".\\s.bin", Source(), target, listed);
        const auto items = Drain(module.Items());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].code, ResultCode::PartialCopy);
        EXPECT_EQ(ReadAll(target), Pattern(5000)) << "the target keeps what was read";
        EXPECT_EQ(module.FilesDone(), 1);
        EXPECT_EQ(module.Skipped(), 1);
    }
}

TEST_F(FileCopy, NoBlockIsWrittenAfterARefusedWrite) {
    tree.File(L"s.bin", Pattern(5 * kBlock));
    platform.FailWrite(L".part", 2, ErrorCode::kDiskFull);
    Copy(5 * kBlock);
    EXPECT_EQ(platform.Calls(PlatformCall::WriteFile), 2);
    EXPECT_EQ(platform.Calls(PlatformCall::ReadFile), 2);
}

TEST_F(FileCopy, CancelDuringThePassesDeletesTheTarget) {
    tree.File(L"s.bin", Pattern(4 * kBlock));
    platform.OnRead([&](const std::wstring&, int number) {
        if (number == 2) CopyModuleTestSeam::RequestCancel(Copier());
    });
    Copy();
    EXPECT_EQ(ReadAll(Target()), "<missing>");
    EXPECT_EQ(Copier().FilesDone(), 0);
    EXPECT_EQ(Copier().Skipped(), 0);
    EXPECT_TRUE(Drain(Copier().Items()).empty());
    EXPECT_EQ(ReadAll(Source()), Pattern(4 * kBlock));
}

TEST_F(FileCopy, ReadOnlyAttributeFollowsTheOption) {
    tree.File(L"s.bin", "data");
    ASSERT_EQ(platform.Folders().SetAttributes(Source(), FileAttribute::kReadOnly), ErrorCode::kSuccess);
    for (bool copyAttributes : {true, false}) {
        CopyModule module(platform);
        CopyModuleTestSeam::SetCopyAttributes(module, copyAttributes);
        const std::wstring target = tree.Path(copyAttributes ? L"with" : L"without");
        CopyModuleTestSeam::CopyOneFile(module, L".\\s.bin", Source(), target, 4);
        std::uint32_t attributes = 0;
        ASSERT_EQ(platform.Folders().GetAttributes(target, attributes), ErrorCode::kSuccess);
        EXPECT_EQ((attributes & FileAttribute::kReadOnly) != 0, copyAttributes);
        EXPECT_EQ(ReadAll(target), "data");
        EXPECT_TRUE(CopyModuleTestSeam::DeleteTarget(module, target)) << "a read-only target can still be deleted";
        EXPECT_FALSE(platform.Folders().PathExists(target));
    }
    EXPECT_TRUE(CopyModuleTestSeam::DeleteTarget(Copier(), tree.Path(L"never-there")));
}

TEST_F(FileCopy, UnreadableAttributesAreNotReplacedByAWriteFailure) {
    tree.File(L"s.bin", "data");
    platform.Fail(PlatformCall::GetAttributes, L"\\s.bin", ErrorCode::kAccessDenied);
    Copy();
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].code, ResultCode::AttributesNotRead);
    EXPECT_EQ(platform.Calls(PlatformCall::SetAttributes), 0);
}

#ifdef _WIN32
// A real sharing violation: another opener that allows no reading.
TEST_F(FileCopy, FileHeldWithoutReadSharingIsLocked) {
    tree.File(L"s.bin", "data");
    FileHandle holder;
    ASSERT_EQ(SystemPlatform().Files().CreateNewFile(tree.Path(L"holder"), holder), ErrorCode::kSuccess);
    holder.reset();
    FileHandle exclusive;
    ASSERT_EQ(SystemPlatform().Files().OpenForBackupRead(Source(), exclusive), ErrorCode::kSuccess);
    // Our own read opener allows reading; hold one that allows nothing.
    exclusive.reset();
    HANDLE blocker = CreateFileW(Source().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CopyModule module(SystemPlatform());
    CopyModuleTestSeam::CopyOneFile(module, L".\\s.bin", Source(), Target(), CopyModule::kUnknownSize);
    CloseHandle(blocker);
    const auto items = Drain(module.Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::FileLocked, Source(), L".\\s.bin", ErrorCode::kSharingViolation}));
    EXPECT_EQ(ReadAll(Target()), "<missing>");
}

TEST_F(FileCopy, HiddenAndSystemAttributesAreCopied) {
    tree.File(L"s.bin", "data");
    ASSERT_TRUE(SetFileAttributesW(Source().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CopyModule module(SystemPlatform());
    CopyModuleTestSeam::CopyOneFile(module, L".\\s.bin", Source(), Target(), 4);
    EXPECT_EQ(GetFileAttributesW(Target().c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}
#endif

}  // namespace
