// Random trees copied over random pre-existing targets: whatever was there is
// untouched, everything else arrives byte for byte, and the counters agree;
// also when a copy is killed at a random moment and the job is run again.
// The trees hold names of a temporary's shape (and, on Windows, names ending
// in a dot), and the destination a link where a folder goes: nothing outside
// the destination changes, and every file that does not arrive has a row.

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "engine/PathHelpers.h"
#include "engine/TemporaryName.h"
#include "tests/engine/EngineFixture.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

struct GeneratedTree {
    std::map<std::wstring, std::string> files;  // relative path to content
    int folders = 1;                            // the source folder itself
};

// A file at exactly this name (one ending in a dot included).
void WriteExact(const std::wstring& path, const std::string& content) {
    if (!SystemPlatform().Folders().IsFolder(ParentOf(path))) SystemPlatform().Folders().CreateFolderTree(ParentOf(path));
    FileHandle file;
    ASSERT_EQ(SystemPlatform().Files().CreateNewFile(LongPathOf(path), file), ErrorCode::kSuccess);
    std::uint32_t written = 0;
    if (!content.empty()) {
        SystemPlatform().Files().WriteFile(file.get(), content.data(), static_cast<std::uint32_t>(content.size()), written);
    }
}

void Generate(std::mt19937& random, TestTree& tree, const std::wstring& relative, int depth, GeneratedTree& out) {
    static const std::size_t kSizes[] = {0, 1, 100, 65535, 65536, 65537, 131072, 200001};
    const int fileCount = std::uniform_int_distribution<int>(0, 4)(random);
    for (int i = 0; i < fileCount; ++i) {
        std::wstring name = relative + L"\\f" + std::to_wstring(i) + L".bin";
        const unsigned shape = random() % 8;
        // A name of a temporary's shape: the temporary of the file f0.bin
        // beside it, a leftover of some run copied along with its folder.
        if (shape == 0) name = relative + L"\\" + FileNameOf(TemporaryName::For(L"f0.bin"));
#ifdef _WIN32
        // A name the Win32 layer would change: beside one it would change it to.
        if (shape == 1) name = relative + L"\\f0.bin.";
#endif
        if (out.files.count(name)) continue;
        std::size_t size = kSizes[random() % 8];
        if (random() % 3 == 0) size = random() % 150000;
        const std::string content = Pattern(size, static_cast<unsigned>(random()));
        WriteExact(tree.Path(name), content);
        out.files[name] = content;
    }
    if (depth == 0) return;
    const int folderCount = std::uniform_int_distribution<int>(0, 3)(random);
    for (int i = 0; i < folderCount; ++i) {
        const std::wstring name = relative + L"\\d" + std::to_wstring(i);
        tree.Folder(name);
        ++out.folders;
        Generate(random, tree, name, depth - 1, out);
    }
}

TEST(CopyProperty, ExistingTargetsAreUntouchedAndEverythingElseArrivesWhole) {
#ifdef _WIN32
    constexpr unsigned kRounds = 8;
#else
    constexpr unsigned kRounds = 25;
#endif
    for (unsigned seed = 1; seed <= kRounds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        TestTree tree;
        GeneratedTree source;
        tree.Folder(L"src");
        Generate(random, tree, L"src", 3, source);

        // A link where one of the folders goes, to a folder outside; what
        // belongs in that folder is not copied, and each file has a row.
        std::wstring blocked;
        for (unsigned i = 0; i < 3 && blocked.empty(); ++i) {
            if (random() % 2 == 0 && SystemPlatform().Folders().IsFolder(tree.Path(L"src\\d" + std::to_wstring(i)))) {
                blocked = L"src\\d" + std::to_wstring(i) + L"\\";
            }
        }
        tree.File(L"elsewhere\\kept.txt", "kept");
        tree.Folder(L"out\\src");
        if (!blocked.empty()) {
            const std::wstring link = tree.Path(L"out\\" + blocked.substr(0, blocked.size() - 1));
            FindHandle find;
            FindEntry entry;
            if (!MakeSymbolicLink(tree.Path(L"elsewhere"), link, true) ||
                SystemPlatform().Listing().FindFirst(link, find, entry) != ErrorCode::kSuccess ||
                !(entry.attributes & FileAttribute::kReparsePoint)) {
                blocked.clear();  // no links here
            }
        }
        auto isBlocked = [&](const std::wstring& name) { return !blocked.empty() && name.rfind(blocked, 0) == 0; };

        // Pre-existing targets: other content, a folder where a file would
        // go, or a user's file at the name of a file's temporary.
        std::map<std::wstring, std::string> existing;
        std::map<std::wstring, std::string> expected;  // every file the destination holds afterwards
        std::uint64_t bytesToCopy = 0;
        int blockedFiles = 0;
        for (const auto& [name, content] : source.files) {
            const std::wstring target = L"out\\" + name;  // src\... lands in out\src\...
            const unsigned roll = random() % 10;
            if (isBlocked(name)) {
                ++blockedFiles;
            } else if (roll < 3) {
                const std::string other = Pattern(random() % 5000, static_cast<unsigned>(random()));
                WriteExact(tree.Path(target), other);
                existing[target] = other;
                expected[target] = other;
            } else if (roll == 3) {
                tree.Folder(ParentOf(target));
                SystemPlatform().Folders().CreateFolder(LongPathOf(tree.Path(target)));
                existing[target + L"\\"] = "";
            } else {
                bytesToCopy += content.size();
                expected[target] = content;
                const std::wstring temporary = TemporaryName::For(target);
                if (roll == 4 && !source.files.count(temporary.substr(4)) && !expected.count(temporary)) {
                    WriteExact(tree.Path(temporary), "the user's");
                    expected[temporary] = "the user's";
                }
            }
        }
        const auto outside = Snapshot(tree.Path(L"elsewhere"));
        const auto sources = Snapshot(tree.Path(L"src"));

        FaultPlatform platform(SystemPlatform());
        platform.SetInstantSleeps(true);
        // Every other round finishes files on the second thread.
        platform.SetOverlapsFinishing(seed % 2 == 0);
        EnumerationModule discovery(platform);
        discovery.Configure(tree.Path(L"src"), true);
        discovery.Run();
        EXPECT_EQ(discovery.FilesTotal(), static_cast<int>(source.files.size()));
        EXPECT_EQ(discovery.FoldersTotal(), source.folders);

        CopyModule copier(platform);
        copier.Setup(tree.Path(L"src"), tree.Path(L"out"), true, true);
        copier.Run();
        std::set<std::wstring> rows;
        ItemResult item;
        while (copier.Items().Pop(item)) {
            EXPECT_EQ(item.code, ResultCode::AccessDeniedTarget) << item;
            EXPECT_TRUE(isBlocked(L"src" + item.relativeName.substr(1) + L"\\")) << item;
            rows.insert(item.relativeName);
        }
        EXPECT_TRUE(copier.IsDone());
        EXPECT_EQ(copier.Skipped(), static_cast<int>(existing.size()));
        EXPECT_EQ(copier.FilesDone(), static_cast<int>(source.files.size() - existing.size()) - blockedFiles);
        EXPECT_EQ(copier.BytesCopied(), bytesToCopy);

        std::map<std::wstring, std::string> copied;
        for (const auto& [name, content] : Snapshot(tree.Path(L"out"))) {
            if (name.back() != L'\\') copied[L"out\\" + name] = content;
        }
        for (const auto& [name, content] : expected) {
            const auto found = copied.find(name);
            ASSERT_NE(found, copied.end()) << "missing: " << std::string(name.begin(), name.end());
            EXPECT_TRUE(found->second == content) << "differs: " << std::string(name.begin(), name.end());
        }
        EXPECT_EQ(copied.size(), expected.size()) << "files that have no source";
        for (const auto& [name, content] : existing) {
            if (name.back() == L'\\') {
                const std::wstring folder = tree.Path(name.substr(0, name.size() - 1));
                EXPECT_TRUE(SystemPlatform().Folders().IsFolder(LongPathOf(folder))) << "pre-existing folder gone";
            }
        }
        for (const auto& [name, content] : source.files) {
            if (isBlocked(name)) {
                EXPECT_TRUE(rows.count(L"." + name.substr(3))) << "a file left out without a row";
            }
        }
        EXPECT_TRUE(Snapshot(tree.Path(L"elsewhere")) == outside) << "a folder outside the destination changed";
        EXPECT_TRUE(Snapshot(tree.Path(L"src")) == sources) << "a source changed";
    }
}

#ifndef _WIN32
// What a pre-existing target is, beyond its bytes: its permission bits (the
// read-only attribute) and its modification time.
struct Stamp {
    std::string content;
    mode_t mode = 0;
    std::int64_t modified = 0;
    bool operator==(const Stamp& other) const {
        return content == other.content && mode == other.mode && modified == other.modified;
    }
};

Stamp StampOf(const std::wstring& path) {
    Stamp stamp;
    stamp.content = ReadAll(path);
    struct stat info;
    if (stat(TestTree::PosixPathOf(path).c_str(), &info) == 0) {
        stamp.mode = info.st_mode;
        stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    }
    return stamp;
}

// Runs the whole job in a child process and kills it with SIGKILL after
// delayMicroseconds (or lets it finish when it is quicker).
void CopyInChildAndKill(const std::wstring& source, const std::wstring& destination, unsigned delayMicroseconds,
                        bool overlapsFinishing) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FaultPlatform platform(SystemPlatform());
        platform.SetInstantSleeps(true);
        platform.SetOverlapsFinishing(overlapsFinishing);
        CopyModule copier(platform);
        copier.Setup(source, destination, true, true);
        copier.Run();
        _exit(0);
    }
    usleep(delayMicroseconds);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
}

bool IsTemporary(const std::wstring& relative) {
    const std::size_t slash = relative.find_last_of(L'\\');
    return TemporaryName::IsMarked(slash == std::wstring::npos ? relative : relative.substr(slash + 1));
}

// A copy killed at any moment leaves every real name either untouched
// (pre-existing) or holding a complete copy; running the job again finishes
// it with no row, and no temporary stays behind.
TEST(CopyProperty, KilledCopyLeavesNothingPartialAndARerunCompletesIt) {
    constexpr unsigned kRounds = 30;
    int killedMidFile = 0;
    for (unsigned seed = 1; seed <= kRounds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed * 7919);
        TestTree tree;
        GeneratedTree source;
        tree.Folder(L"src");
        Generate(random, tree, L"src", 2, source);
        // Large files, so that most kills land inside a file.
        for (int i = 0; i < 3; ++i) {
            const std::wstring name = L"src\\big" + std::to_wstring(i) + L".bin";
            const std::string content = Pattern(1500000 + random() % 1000000, static_cast<unsigned>(random()));
            tree.File(name, content);
            source.files[name] = content;
        }
        // Source files may have a temporary's shape; they are no leftovers.
        auto IsLeftover = [&source](const std::wstring& name) {
            return IsTemporary(name) && !source.files.count(name);
        };
        std::map<std::wstring, Stamp> existing;
        for (const auto& [name, content] : source.files) {
            if (random() % 6 != 0) continue;
            const std::wstring target = L"out\\" + name;
            tree.File(target, Pattern(random() % 3000, static_cast<unsigned>(random())));
            if (random() % 2 == 0) {
                ASSERT_EQ(SystemPlatform().Folders().SetAttributes(tree.Path(target), FileAttribute::kReadOnly), 0u);
            }
            existing[target] = StampOf(tree.Path(target));
        }
        tree.Folder(L"out");

        CopyInChildAndKill(tree.Path(L"src"), tree.Path(L"out"), random() % 12000, seed % 2 == 0);

        auto checkRealNames = [&](const char* when) {
            for (const auto& [name, content] : Snapshot(tree.Path(L"out"))) {
                if (name.back() == L'\\' || IsLeftover(name)) continue;
                const auto before = existing.find(L"out\\" + name);
                if (before != existing.end()) {
                    EXPECT_TRUE(StampOf(tree.Path(before->first)) == before->second)
                        << when << ": pre-existing target changed";
                    continue;
                }
                const auto original = source.files.find(name);
                ASSERT_NE(original, source.files.end()) << when << ": a file that has no source";
                EXPECT_TRUE(content == original->second) << when << ": a real name holds a partial copy";
            }
        };
        checkRealNames("after the kill");
        const auto afterKill = Snapshot(tree.Path(L"out"));
        killedMidFile += std::any_of(afterKill.begin(), afterKill.end(), [&](const auto& e) { return IsLeftover(e.first); });

        FaultPlatform platform(SystemPlatform());
        platform.SetInstantSleeps(true);
        CopyModule copier(platform);
        copier.Setup(tree.Path(L"src"), tree.Path(L"out"), true, true);
        copier.Run();
        ItemResult item;
        EXPECT_FALSE(copier.Items().Pop(item)) << item;
        EXPECT_TRUE(copier.IsDone());
        checkRealNames("after the rerun");

        int copiedBefore = 0;
        for (const auto& [name, content] : afterKill) {
            if (name.back() != L'\\' && !IsLeftover(name) && !existing.count(L"out\\" + name)) ++copiedBefore;
        }
        const auto final = Snapshot(tree.Path(L"out"));
        for (const auto& [name, content] : source.files) {
            EXPECT_TRUE(final.count(name)) << "missing after the rerun";
        }
        for (const auto& [name, content] : final) {
            // A kill between a temporary's creation and its stamp leaves an empty file that no
            // run can tell from a user's: it holds nothing and blocks nothing (the copy takes the
            // next name), so it stays. Anything else left behind is a fault.
            const auto killed = afterKill.find(name);
            const bool unstampedAndEmpty = content.empty() && killed != afterKill.end() && killed->second.empty();
            EXPECT_TRUE(!IsLeftover(name) || unstampedAndEmpty) << "temporary left behind";
        }
        EXPECT_EQ(copier.Skipped(), static_cast<int>(existing.size()) + copiedBefore);
        EXPECT_EQ(copier.FilesDone(), static_cast<int>(source.files.size() - existing.size()) - copiedBefore);
    }
    std::printf("%d of %u kills landed inside a file\n", killedMidFile, kRounds);
}
#endif

}  // namespace
