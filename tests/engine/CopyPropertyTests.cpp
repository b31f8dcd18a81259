// Random trees copied over random pre-existing targets: whatever was there is
// untouched, everything else arrives byte for byte, and the counters agree.

#include <algorithm>
#include <random>

#include "tests/engine/EngineFixture.h"

namespace {

struct GeneratedTree {
    std::map<std::wstring, std::string> files;  // relative path to content
    int folders = 1;                            // the source folder itself
};

void Generate(std::mt19937& random, TestTree& tree, const std::wstring& relative, int depth, GeneratedTree& out) {
    static const std::size_t kSizes[] = {0, 1, 100, 65535, 65536, 65537, 131072, 200001};
    const int fileCount = std::uniform_int_distribution<int>(0, 4)(random);
    for (int i = 0; i < fileCount; ++i) {
        const std::wstring name = relative + L"\\f" + std::to_wstring(i) + L".bin";
        std::size_t size = kSizes[random() % 8];
        if (random() % 3 == 0) size = random() % 150000;
        const std::string content = Pattern(size, static_cast<unsigned>(random()));
        tree.File(name, content);
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

        // Pre-existing targets: other content, or a folder where a file would go.
        std::map<std::wstring, std::string> existing;
        std::uint64_t bytesToCopy = 0;
        for (const auto& [name, content] : source.files) {
            const std::wstring target = L"out\\" + name;  // src\... lands in out\src\...
            const unsigned roll = random() % 10;
            if (roll < 3) {
                const std::string other = Pattern(random() % 5000, static_cast<unsigned>(random()));
                tree.File(target, other);
                existing[target] = other;
            } else if (roll == 3) {
                tree.Folder(target);
                existing[target + L"\\"] = "";
            } else {
                bytesToCopy += content.size();
            }
        }
        tree.Folder(L"out");

        FaultPlatform platform;
        platform.SetInstantSleeps(true);
        EnumerationModule discovery(platform);
        discovery.Configure(tree.Path(L"src"), true);
        discovery.Run();
        EXPECT_EQ(discovery.filesTotal, static_cast<int>(source.files.size()));
        EXPECT_EQ(discovery.foldersTotal, source.folders);

        CopyModule copier(platform);
        copier.Setup(tree.Path(L"src"), tree.Path(L"out"), true, true);
        copier.Run();
        ItemResult item;
        EXPECT_FALSE(copier.items.Pop(item)) << item;
        EXPECT_TRUE(copier.done);
        EXPECT_EQ(copier.skipped, static_cast<int>(existing.size()));
        EXPECT_EQ(copier.filesDone, static_cast<int>(source.files.size() - existing.size()));
        EXPECT_EQ(copier.bytesCopied, bytesToCopy);

        const auto copied = Snapshot(tree.Path(L"out"));
        int files = 0;
        for (const auto& [name, content] : copied) {
            const std::wstring relative = L"out\\" + name;
            if (name.back() == L'\\') continue;  // folders
            ++files;
            const auto before = existing.find(relative);
            if (before != existing.end()) {
                EXPECT_TRUE(content == before->second) << "pre-existing target changed";
                continue;
            }
            const auto original = source.files.find(name);
            ASSERT_NE(original, source.files.end()) << "a file that has no source";
            EXPECT_TRUE(content == original->second) << "copy differs from its source";
        }
        for (const auto& [name, content] : existing) {
            if (name.back() == L'\\') {
                EXPECT_TRUE(copied.count(name.substr(4))) << "pre-existing folder gone";
            }
        }
        EXPECT_EQ(files, static_cast<int>(source.files.size()) -
                             static_cast<int>(std::count_if(existing.begin(), existing.end(), [](const auto& e) {
                                 return e.first.back() == L'\\';
                             })));
    }
}

}  // namespace
