// Ways a copy could remove or change what it did not write, write where it
// must not, or leave something out without a row: one row per way, each
// built where this platform can build it, run as a whole job and checked.

#include <cstdlib>
#include <cstring>
#include <functional>

#include "engine/PathHelpers.h"
#include "engine/TemporaryName.h"
#include "tests/control/TestPrompt.h"
#include "tests/engine/EngineFixture.h"
#include "control/DestinationValidation.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#include <sys/stat.h>

#include "platform/posix/PosixPlatform.h"
#endif

namespace {

using Rows = std::vector<std::pair<ResultCode, std::wstring>>;

// One job over a fresh tree; skip says why this machine cannot build it.
struct Case {
    TestTree tree;
    FaultPlatform platform{SystemPlatform()};
    Rows rows;
    int filesDone = 0;
    int skipped = 0;
    std::string skip;

    std::wstring Quoted(const std::wstring& relative) { return L"\"" + tree.Path(relative) + L"\""; }
    void Copy(const std::wstring& sources, const std::wstring& destination, Platform& on) {
        CopyModule copier(on);
        copier.Setup(sources, destination, true, true);
        copier.Run();
        ItemResult item;
        while (copier.Items().Pop(item)) rows.push_back({item.code, item.relativeName});
        filesDone = copier.FilesDone();
        skipped = copier.Skipped();
    }
    void Copy(const std::wstring& sources, const std::wstring& destination) { Copy(sources, destination, platform); }
    // src into out, no row expected.
    void CopySource() {
        Copy(tree.Path(L"src"), tree.Path(L"out"));
        EXPECT_EQ(rows, Rows{});
    }
    // Whether the destination check refuses destination for the source.
    void ExpectRefused(const std::wstring& destination, const std::wstring& source) {
        TestPrompt prompt;
        EXPECT_FALSE(ValidateDestination({destination, SourceList::Parse(source), true, 0}, platform, prompt));
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text, DestinationMessages::kInsideSource);
    }
    bool Link(const std::wstring& target, const std::wstring& link, bool isFolder) {
        // Some layers claim to make a link and make nothing.
        FindHandle find;
        FindEntry entry;
        if (MakeSymbolicLink(tree.Path(target), tree.Path(link), isFolder) &&
            SystemPlatform().Listing().FindFirst(tree.Path(link), find, entry) == 0 &&
            (entry.attributes & FileAttribute::kReparsePoint)) {
            return true;
        }
        skip = "no symbolic links here";
        return false;
    }
};

std::wstring LongForm(const std::wstring& path) { return L"\\\\?\\" + path; }

std::uint32_t AttributesOf(const std::wstring& path) {
    std::uint32_t attributes = FileAttribute::kInvalid;
    SystemPlatform().Folders().GetAttributes(path, attributes);
    return attributes;
}

// The name a.txt's temporary has in any folder.
const std::wstring kMarked = FileNameOf(TemporaryName::For(L"a.txt"));

struct Reproduction {
    const char* name;
    bool native;
    bool win32;
    std::function<void(Case&)> run;
};

std::vector<Reproduction> Reproductions() {
    return {
        {"a leftover copied along with its folder is not taken for the next file's temporary", true, true,
         [](Case& c) {
             c.tree.File(L"one\\docs\\" + kMarked, "a leftover, copied as a file");
             c.tree.File(L"two\\docs\\a.txt", "a");
             c.tree.Folder(L"out");
             c.Copy(c.Quoted(L"one\\docs") + L" " + c.Quoted(L"two\\docs"), c.tree.Path(L"out"));
             EXPECT_EQ(c.rows, Rows{});
             EXPECT_EQ(c.filesDone, 2);
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\docs\\" + kMarked)), "a leftover, copied as a file");
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\docs\\a.txt")), "a");
         }},
        {"a user's read-only file at a temporary's name stays as it is", true, true,
         [](Case& c) {
             c.tree.File(L"src\\a.txt", "a");
             c.tree.File(L"out\\src\\" + kMarked, "the user's");
             ASSERT_EQ(SystemPlatform().Folders().SetAttributes(c.tree.Path(L"out\\src\\" + kMarked), FileAttribute::kReadOnly), 0u);
             c.CopySource();
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\" + kMarked)), "the user's");
             EXPECT_TRUE(AttributesOf(c.tree.Path(L"out\\src\\" + kMarked)) & FileAttribute::kReadOnly);
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\a.txt")), "a");
         }},
        {"a killed copy's temporary in a deep folder is removed by the next run", true, true,
         [](Case& c) {
             // A target folder of 248 characters, the most a folder may have:
             // the file's name fits beside it, the marker does not.
             const std::wstring out = c.tree.Path(L"out\\");
             const std::wstring padding(248 - out.size() - 4, L'p');
             const std::wstring folder = out + padding + L"\\src";
             c.tree.File(L"src\\a.txt", Pattern(70000));
             c.tree.Folder(L"out\\" + padding + L"\\src");
             const std::wstring temporary = TemporaryName::For(folder + L"\\a.txt");
             MakeLeftover(temporary, "half of it");
             c.Copy(c.tree.Path(L"src"), out + padding);
             EXPECT_EQ(c.rows, Rows{});
             EXPECT_EQ(ReadAll(folder + L"\\a.txt"), Pattern(70000));
             EXPECT_EQ(ReadAll(temporary), "<missing>");
         }},
        {"a killed copy's temporary on a volume with coarse access times is removed by the next run", true, true,
         [](Case& c) {
             // Listings give last-access times back as exFAT does (2 seconds)
             // and as FAT does (a date, read under another time zone).
             struct CoarseTimes : PassingListingCalls {
                 using PassingListingCalls::PassingListingCalls;
                 std::function<std::uint64_t(std::uint64_t)> coarsen;
                 std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override {
                     const std::uint32_t error = PassingListingCalls::FindFirst(pattern, find, entry);
                     entry.lastAccessTime = coarsen(entry.lastAccessTime);
                     return error;
                 }
             };
             FaultPlatform fault(SystemPlatform());
             CoarseTimes coarse(fault.Listing());
             Platform platform(fault.Files(), coarse, fault.Folders(), fault.Sync(), fault.Threads());
             constexpr std::uint64_t kHour = 36000000000ull, kDay = 24 * kHour;
             const std::vector<std::function<std::uint64_t(std::uint64_t)>> volumes = {
                 [](std::uint64_t time) { return time - time % 20000000; },
                 [](std::uint64_t time) { return time + 14 * kHour - (time + 14 * kHour) % kDay + 12 * kHour; },
                 [](std::uint64_t time) { return time - 12 * kHour - (time - 12 * kHour) % kDay - 14 * kHour; },
             };
             c.tree.File(L"src\\a.txt", Pattern(70000));
             for (std::size_t volume = 0; volume < volumes.size(); ++volume) {
                 const std::wstring out = c.tree.Path(L"out" + std::to_wstring(volume));
                 c.tree.Folder(L"out" + std::to_wstring(volume) + L"\\src");
                 MakeLeftover(out + L"\\src\\" + kMarked, "half of it");
                 coarse.coarsen = volumes[volume];
                 c.Copy(c.tree.Path(L"src"), out, platform);
                 EXPECT_EQ(ReadAll(out + L"\\src\\a.txt"), Pattern(70000)) << volume;
                 EXPECT_EQ(ReadAll(out + L"\\src\\" + kMarked), "<missing>") << volume;
             }
             EXPECT_EQ(c.rows, Rows{});
         }},
        {"a file keeps its temporary's stamp until it has its name, and not after", true, true,
         [](Case& c) {
             // A kill at the rename leaves a leftover the next run knows.
             c.tree.File(L"src\\a.txt", "a");
             std::uint64_t atRename = 0;
             c.platform.OnRename([&](const std::wstring& to) {
                 FindHandle find;
                 FindEntry entry;
                 if (SystemPlatform().Listing().FindFirst(TemporaryName::For(to), find, entry) == 0) {
                     atRename = entry.lastAccessTime;
                 }
             });
             c.CopySource();
             EXPECT_TRUE(TemporaryName::IsStampOf(kMarked, atRename));
             FindHandle find;
             FindEntry entry;
             ASSERT_EQ(SystemPlatform().Listing().FindFirst(c.tree.Path(L"out\\src\\a.txt"), find, entry), 0u);
             EXPECT_LT(entry.lastAccessTime, TemporaryName::StampFor(kMarked, 0, 0) - 4 * 86400 * 10000000ull);
         }},
        {"a link at a temporary's name is neither followed nor removed", true, true,
         [](Case& c) {
             c.tree.File(L"src\\a.txt", "a");
             c.tree.File(L"elsewhere\\keep.txt", "keep");
             ASSERT_EQ(SystemPlatform().Folders().SetAttributes(c.tree.Path(L"elsewhere\\keep.txt"), FileAttribute::kReadOnly), 0u);
             c.tree.Folder(L"out\\src");
             if (!c.Link(L"elsewhere\\keep.txt", L"out\\src\\" + kMarked, false)) return;
             c.CopySource();
             EXPECT_TRUE(AttributesOf(c.tree.Path(L"elsewhere\\keep.txt")) & FileAttribute::kReadOnly);
             EXPECT_TRUE(SystemPlatform().Folders().PathExists(c.tree.Path(L"out\\src\\" + kMarked)));
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\a.txt")), "a");
         }},
        {"a folder at a temporary's name keeps its attributes and blocks nothing", true, true,
         [](Case& c) {
             c.tree.File(L"src\\a.txt", "a");
             const std::wstring folder = c.tree.Path(L"out\\src\\" + kMarked);
             c.tree.Folder(L"out\\src\\" + kMarked);
             SystemPlatform().Folders().SetAttributes(folder, FileAttribute::kHidden | FileAttribute::kSystem);
             const std::uint32_t before = AttributesOf(folder);
             c.CopySource();
             EXPECT_EQ(AttributesOf(folder), before);
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\a.txt")), "a");
         }},
        {"a name ending in a dot gets its own bytes", false, true,
         [](Case& c) {
             c.tree.File(L"src\\name", "plain");
             FileHandle dotted;
             ASSERT_EQ(SystemPlatform().Files().CreateNewFile(LongForm(c.tree.Path(L"src\\name.")), dotted), 0u);
             std::uint32_t written = 0;
             SystemPlatform().Files().WriteFile(dotted.get(), "dotted", 6, written);
             dotted.reset();
             c.CopySource();
             EXPECT_EQ(c.filesDone, 2);
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\name")), "plain");
             EXPECT_EQ(ReadAll(LongForm(c.tree.Path(L"out\\src\\name."))), "dotted");
         }},
        {"a destination that is an alias of a folder inside the source is refused", true, true,
         [](Case& c) {
#ifdef _WIN32
             // A drive letter on a folder inside the source (volumes.sh).
             const char* drive = std::getenv("TORVANE_INNER_ALIAS_DRIVE");
             if (drive == nullptr || *drive == 0) {
                 c.skip = "no drive letter on an inner folder";
                 return;
             }
             const std::wstring source = L"C:\\torvane-alias-source";
             ASSERT_EQ(SystemPlatform().Folders().CreateFolderTree(source + L"\\sub"), 0u);
             const std::wstring alias = std::wstring(drive, drive + std::strlen(drive)) + L"\\";
             // Windows names a folder by the volume it is on, whatever letter leads to it. Wine
             // names a folder that a letter of its own leads to by that letter, most of the time:
             // then nothing the system says tells the alias from a volume of its own.
             std::wstring real;
             if (SystemPlatform().Folders().RealPath(alias, real) != ErrorCode::kSuccess ||
                 real.find(L"torvane-alias-source") == std::wstring::npos) {
                 c.skip = "this system names the inner folder by its own drive letter";
                 RemoveTree(source);
                 return;
             }
#else
             c.tree.File(L"src\\sub\\a.txt", "a");
             const std::wstring source = c.tree.Path(L"src");
             if (!c.Link(L"src\\sub", L"alias", true)) return;
             const std::wstring alias = c.tree.Path(L"alias");
#endif
             c.ExpectRefused(alias, source);
#ifdef _WIN32
             RemoveTree(source);
#endif
         }},
#ifndef _WIN32
        {"a bind mount of a folder inside the source is refused as a destination", true, false,
         [](Case& c) {
             c.tree.File(L"src\\sub\\a.txt", "a");
             c.tree.Folder(L"mounted");
             const std::string mounted = TestTree::PosixPathOf(c.tree.Path(L"mounted"));
             if (mount(TestTree::PosixPathOf(c.tree.Path(L"src\\sub")).c_str(), mounted.c_str(), nullptr, MS_BIND,
                       nullptr) != 0) {
                 c.skip = "bind mounts need root";
                 return;
             }
             c.ExpectRefused(c.tree.Path(L"mounted"), c.tree.Path(L"src"));
             umount(mounted.c_str());
         }},
#endif
        {"a link where a folder must be created is not followed into the source", true, true,
         [](Case& c) {
             c.tree.File(L"src\\sub\\a.txt", "a");
             c.tree.File(L"src\\sub\\deeper\\b.txt", "b");
             c.tree.Folder(L"out\\src");
             if (!c.Link(L"src", L"out\\src\\sub", true)) return;
             const auto before = Snapshot(c.tree.Path(L"src"));
             c.Copy(c.tree.Path(L"src"), c.tree.Path(L"out"));
             EXPECT_EQ(Snapshot(c.tree.Path(L"src")), before) << "nothing is written into the source";
             EXPECT_EQ(c.rows, (Rows{{ResultCode::AccessDeniedTarget, L".\\sub"},
                                     {ResultCode::AccessDeniedTarget, L".\\sub\\a.txt"},
                                     {ResultCode::AccessDeniedTarget, L".\\sub\\deeper"},
                                     {ResultCode::AccessDeniedTarget, L".\\sub\\deeper\\b.txt"}}));
         }},
        {"a link passed over has a row of its own", true, true,
         [](Case& c) {
             c.tree.File(L"src\\real.txt", "r");
             c.tree.File(L"elsewhere\\x.txt", "x");
             if (!c.Link(L"elsewhere", L"src\\linked", true)) return;
             c.Copy(c.tree.Path(L"src"), c.tree.Path(L"out"));
             EXPECT_EQ(c.rows, (Rows{{ResultCode::LinkNotCopied, L".\\linked"}}));
             EXPECT_EQ(c.filesDone, 1);
         }},
        {"a name differing only in case from one copied before is a row, not a skip", false, true,
         [](Case& c) {
             c.tree.File(L"one\\docs\\FAQ.html", "upper");
             c.tree.File(L"two\\docs\\faq.html", "lower");
             c.Copy(c.Quoted(L"one\\docs") + L" " + c.Quoted(L"two\\docs"), c.tree.Path(L"out"));
             EXPECT_EQ(c.rows, (Rows{{ResultCode::SameNameCopied, L".\\faq.html"}}));
             EXPECT_EQ(c.skipped, 0);
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\docs\\FAQ.html")), "upper");
         }},
        {"file identities of index 0, or alike in their low 64 bits, mistake no folder for the copy's own", true, true,
         [](Case& c) {
             // A server that gives every file index 0; a file system whose
             // 128-bit IDs share their lower half.
             struct Identities : PassingFolderCalls {
                 using PassingFolderCalls::PassingFolderCalls;
                 bool zero = true;
                 std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override {
                     const std::uint32_t error = inner.IdentifyFile(path, identity);
                     identity.indexHigh = zero ? 0 : identity.index;
                     identity.index = zero ? 0 : 7;
                     return error;
                 }
             };
             FaultPlatform fault(SystemPlatform());
             Identities identities(fault.Folders());
             Platform platform(fault.Files(), fault.Listing(), identities, fault.Sync(), fault.Threads());
             c.tree.File(L"src\\a.txt", "a");
             c.tree.File(L"src\\sub\\b.txt", "b");
             for (bool zero : {true, false}) {
                 identities.zero = zero;
                 const std::wstring out = zero ? L"zero" : L"wide";
                 c.Copy(c.tree.Path(L"src"), c.tree.Path(out), platform);
                 EXPECT_EQ(ReadAll(c.tree.Path(out + L"\\src\\sub\\b.txt")), "b") << zero;
             }
             EXPECT_EQ(c.rows, Rows{});
         }},
        {"a temporary that cannot be removed is a row naming it", true, true,
         [](Case& c) {
             c.tree.File(L"src\\a.txt", Pattern(3 * CopyModule::kBlockSize));
             c.platform.FailWrite(L".part", 2, ErrorCode::kDiskFull);
             c.platform.Fail(PlatformCall::RemoveFile, L".part", ErrorCode::kAccessDenied);
             c.Copy(c.tree.Path(L"src"), c.tree.Path(L"out"));
             EXPECT_EQ(c.rows, (Rows{{ResultCode::PartialCopy, L".\\a.txt"}, {ResultCode::DeleteFailed, L".\\" + kMarked}}));
         }},
#ifndef _WIN32
        {"an unnamed temporary is discarded through its handle, never by its path", true, false,
         [](Case& c) {
             // The system platform (unnamed temporaries), cancelled at the
             // second block, just after a file appeared at the temporary's path.
             struct Cancelling : PosixFiles {
                 using PosixFiles::PosixFiles;
                 std::function<void()> atSecondBlock;
                 int blocks = 0;
                 std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                                         std::uint32_t& bytesRead, std::uint32_t& bytesWritten) override {
                     if (++blocks == 2) atSecondBlock();
                     return PosixFiles::CopyBlock(source, target, buffer, size, bytesRead, bytesWritten);
                 }
             };
             struct NoSleeps : PassingThreadCalls {
                 using PassingThreadCalls::PassingThreadCalls;
                 void SleepMilliseconds(std::uint32_t) override {}
             };
             PosixPlatform posix;
             Cancelling files(posix.Drives());
             NoSleeps threads(posix.Threads());
             Platform platform(files, posix.Listing(), posix.Folders(), posix.Sync(), threads);
             c.tree.File(L"src\\a.txt", Pattern(4 * CopyModule::kBlockSize));
             c.tree.Folder(L"out");
             CopyModule copier(platform);
             files.atSecondBlock = [&] {
                 c.tree.File(L"out\\src\\" + kMarked, "appeared meanwhile");
                 CopyModuleTestSeam::RequestCancel(copier);
             };
             copier.Setup(c.tree.Path(L"src"), c.tree.Path(L"out"), true, true);
             copier.Run();
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\" + kMarked)), "appeared meanwhile");
             EXPECT_EQ(ReadAll(c.tree.Path(L"out\\src\\a.txt")), "<missing>");
         }},
#endif
    };
}

TEST(CopySafety, NothingTheJobDidNotWriteIsChangedAndNothingIsLeftOutSilently) {
#ifdef _WIN32
    const bool win32 = true;
#else
    const bool win32 = false;
#endif
    for (const Reproduction& reproduction : Reproductions()) {
        if (win32 ? !reproduction.win32 : !reproduction.native) continue;
        SCOPED_TRACE(reproduction.name);
        Case c;
        c.platform.SetInstantSleeps(true);
        reproduction.run(c);
        if (!c.skip.empty()) std::printf("not built here (%s): %s\n", c.skip.c_str(), reproduction.name);
    }
}

}  // namespace
