// The system platform on real files: the error codes the engine relies on
// are the same on both layers.

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "engine/PathHelpers.h"
#include "tests/engine/TestTree.h"

#ifndef _WIN32
#include <cerrno>

#include "platform/posix/PosixPlatform.h"
#endif

namespace {

Platform& P() { return SystemPlatform(); }

TEST(Platform, FilesAreCreatedOnlyWhenNewAndReadBack) {
    TestTree tree;
    const std::wstring path = tree.Path(L"a.bin");
    const std::string content = Pattern(70000);
    {
        FileHandle file;
        ASSERT_EQ(P().Files().CreateNewFile(path, file), ErrorCode::kSuccess);
        std::uint32_t written = 0;
        EXPECT_EQ(P().Files().WriteFile(file.get(), content.data(), 70000, written), ErrorCode::kSuccess);
        EXPECT_EQ(written, 70000u);
    }
    FileHandle again;
    EXPECT_EQ(P().Files().CreateNewFile(path, again), ErrorCode::kFileExists);
    EXPECT_FALSE(again);
    EXPECT_EQ(P().Files().CreateNewFile(tree.Path(L"no\\b.bin"), again), ErrorCode::kPathNotFound);

    FileHandle file;
    ASSERT_EQ(P().Files().OpenForBackupRead(path, file), ErrorCode::kSuccess);
    std::uint64_t size = 0;
    EXPECT_EQ(P().Files().FileSize(file.get(), size), ErrorCode::kSuccess);
    EXPECT_EQ(size, 70000u);
    std::string buffer(65536, '\0');
    std::uint32_t n = 0;
    EXPECT_EQ(P().Files().ReadFile(file.get(), &buffer[0], 65536, n), ErrorCode::kSuccess);
    EXPECT_EQ(n, 65536u);
    EXPECT_EQ(P().Files().ReadFile(file.get(), &buffer[0], 65536, n), ErrorCode::kSuccess);
    EXPECT_EQ(n, 70000u - 65536u);
    EXPECT_EQ(P().Files().ReadFile(file.get(), &buffer[0], 65536, n), ErrorCode::kSuccess);
    EXPECT_EQ(n, 0u);

    FileHandle missing;
    EXPECT_EQ(P().Files().OpenForBackupRead(tree.Path(L"missing"), missing), ErrorCode::kFileNotFound);
    EXPECT_EQ(P().Files().OpenForBackupRead(tree.Path(L"no\\missing"), missing), ErrorCode::kPathNotFound);
}

TEST(Platform, AttributesAndDeletion) {
    TestTree tree;
    tree.File(L"ro", "x");
    const std::wstring path = tree.Path(L"ro");
    std::uint32_t attributes = 0;
    ASSERT_EQ(P().Folders().GetAttributes(path, attributes), ErrorCode::kSuccess);
    EXPECT_FALSE(attributes & FileAttribute::kDirectory);
    ASSERT_EQ(P().Folders().SetAttributes(path, FileAttribute::kReadOnly), ErrorCode::kSuccess);
    ASSERT_EQ(P().Folders().GetAttributes(path, attributes), ErrorCode::kSuccess);
    EXPECT_TRUE(attributes & FileAttribute::kReadOnly);
    EXPECT_EQ(P().Folders().RemoveFile(path), ErrorCode::kAccessDenied) << "read-only files stay";
    ASSERT_EQ(P().Folders().SetAttributes(path, 0), ErrorCode::kSuccess);
    EXPECT_EQ(P().Folders().RemoveFile(path), ErrorCode::kSuccess);
    EXPECT_EQ(P().Folders().RemoveFile(path), ErrorCode::kFileNotFound);
    EXPECT_EQ(P().Folders().GetAttributes(path, attributes), ErrorCode::kFileNotFound);
    EXPECT_EQ(attributes, FileAttribute::kInvalid);
    ASSERT_EQ(P().Folders().GetAttributes(tree.Root(), attributes), ErrorCode::kSuccess);
    EXPECT_TRUE(attributes & FileAttribute::kDirectory);
}

TEST(Platform, FoldersAndPathTests) {
    TestTree tree;
    EXPECT_EQ(P().Folders().CreateFolder(tree.Path(L"one")), ErrorCode::kSuccess);
    EXPECT_EQ(P().Folders().CreateFolder(tree.Path(L"one")), ErrorCode::kAlreadyExists);
    EXPECT_EQ(P().Folders().CreateFolder(tree.Path(L"two\\three")), ErrorCode::kPathNotFound);
    EXPECT_EQ(P().Folders().CreateFolderTree(tree.Path(L"two\\three\\four")), ErrorCode::kSuccess);
    EXPECT_EQ(P().Folders().CreateFolderTree(tree.Path(L"two\\three\\four")), ErrorCode::kAlreadyExists);
    EXPECT_TRUE(P().Folders().IsFolder(tree.Path(L"two\\three\\four")));
    EXPECT_TRUE(P().Folders().IsEmptyFolder(tree.Path(L"two\\three\\four")));
    EXPECT_FALSE(P().Folders().IsEmptyFolder(tree.Path(L"two")));
    tree.File(L"f", "");
    EXPECT_TRUE(P().Folders().PathExists(tree.Path(L"f")));
    EXPECT_FALSE(P().Folders().IsFolder(tree.Path(L"f")));
    EXPECT_FALSE(P().Folders().IsEmptyFolder(tree.Path(L"f")));
    EXPECT_FALSE(P().Folders().PathExists(tree.Path(L"nothing")));
    EXPECT_FALSE(P().Folders().IsFolder(tree.Path(L"nothing")));
    std::uint64_t free = 0;
    EXPECT_EQ(P().Folders().FreeBytes(tree.Root() + L"\\", free), ErrorCode::kSuccess);
    EXPECT_GT(free, 0u);
    std::wstring label = L"unset";
    EXPECT_EQ(P().Folders().VolumeLabel(RootOf(tree.Root()), label), ErrorCode::kSuccess);
}

TEST(Platform, ListingGivesNamesAttributesAndSizes) {
    TestTree tree;
    tree.File(L"big", Pattern(70000));
    tree.Folder(L"sub");
    FindHandle find;
    FindEntry entry;
    ASSERT_EQ(P().Listing().FindFirst(JoinPath(tree.Root(), L"*"), find, entry), ErrorCode::kSuccess);
    std::map<std::wstring, FindEntry> entries;
    std::uint32_t error = ErrorCode::kSuccess;
    do {
        entries[entry.name] = entry;
    } while ((error = P().Listing().FindNext(find.get(), entry)) == ErrorCode::kSuccess);
    EXPECT_EQ(error, ErrorCode::kNoMoreFiles);
    ASSERT_EQ(entries.count(L"big"), 1u);
    ASSERT_EQ(entries.count(L"sub"), 1u);
    EXPECT_EQ(entries[L"big"].size, 70000u);
    EXPECT_FALSE(entries[L"big"].attributes & FileAttribute::kDirectory);
    EXPECT_TRUE(entries[L"sub"].attributes & FileAttribute::kDirectory);
    EXPECT_TRUE(entries.count(L"."));

    FindHandle one;
    ASSERT_EQ(P().Listing().FindFirst(tree.Path(L"big"), one, entry), ErrorCode::kSuccess);
    EXPECT_EQ(entry.name, L"big");
    EXPECT_EQ(entry.size, 70000u);
    FindHandle none;
    EXPECT_EQ(P().Listing().FindFirst(tree.Path(L"missing\\*"), none, entry), ErrorCode::kPathNotFound);
    EXPECT_FALSE(none);
}

TEST(Platform, ThreadsRunAndAreJoined) {
    std::atomic<int> ran{0};
    ThreadHandle thread;
    ASSERT_EQ(P().Threads().StartThread(
                  [](void* counter) -> std::uint32_t {
                      ++*static_cast<std::atomic<int>*>(counter);
                      return 0;
                  },
                  &ran, thread),
              ErrorCode::kSuccess);
    thread.reset();  // joins
    EXPECT_EQ(ran, 1);
    const std::uint32_t before = P().Threads().TickCount();
    P().Threads().SleepMilliseconds(100);
    EXPECT_GE(static_cast<std::uint32_t>(P().Threads().TickCount() - before), 50u);  // coarse ticks
    P().Threads().KeepAwake(true);
    P().Threads().KeepAwake(false);
}

TEST(Platform, RenameNeverReplacesAndWrittenFilesCloseCleanly) {
    TestTree tree;
    tree.File(L"taken", "someone else's");
    FileHandle file;
    ASSERT_EQ(P().Files().CreateNewFile(tree.Path(L"new"), file), ErrorCode::kSuccess);
    std::uint32_t written = 0;
    ASSERT_EQ(P().Files().WriteFile(file.get(), "mine", 4, written), ErrorCode::kSuccess);
    EXPECT_EQ(P().Files().CloseWrittenFile(file.release()), ErrorCode::kSuccess);

    const std::uint32_t refused = P().Files().RenameNoReplace(tree.Path(L"new"), tree.Path(L"taken"));
    EXPECT_TRUE(refused == ErrorCode::kAlreadyExists || refused == ErrorCode::kFileExists) << refused;
    EXPECT_EQ(ReadAll(tree.Path(L"taken")), "someone else's");
    EXPECT_EQ(ReadAll(tree.Path(L"new")), "mine");
    EXPECT_EQ(P().Files().RenameNoReplace(tree.Path(L"new"), tree.Path(L"free")), ErrorCode::kSuccess);
    EXPECT_EQ(ReadAll(tree.Path(L"free")), "mine");
    EXPECT_FALSE(P().Folders().PathExists(tree.Path(L"new")));
}

// A finished file takes its name in one step, through its open handle or as
// a file that had no name yet where the platform can: never over an existing
// file, a read-only one included, and the handle is closed whatever happens.
TEST(Platform, AFinishedFileTakesItsNameButNeverAnExistingOne) {
    TestTree tree;
    tree.File(L"taken", "someone else's");
    const std::wstring temporary = tree.Path(L"new");
    for (bool unfinished : {false, true}) {
        for (std::uint32_t attributes : {0u, FileAttribute::kReadOnly}) {
            for (const wchar_t* name : {L"taken", L"free"}) {
                SCOPED_TRACE(std::string(unfinished ? "unfinished " : "new ") + (attributes ? "read-only " : "plain ") +
                             (name[0] == L't' ? "onto a taken name" : "onto a free name"));
                const std::wstring target = tree.Path(name);
                FileHandle file;
                ASSERT_EQ(unfinished ? P().Files().CreateUnfinishedFile(temporary, file, attributes)
                                     : P().Files().CreateNewFile(temporary, file, attributes),
                          ErrorCode::kSuccess);
                std::uint32_t written = 0;
                ASSERT_EQ(P().Files().WriteFile(file.get(), "mine", 4, written), ErrorCode::kSuccess);
                std::uint32_t error = 0;
                const FileCalls::Finish finish = P().Files().FinishNewFile(file.release(), temporary, target, error);
                if (std::wstring(name) == L"taken") {
                    EXPECT_EQ(finish, FileCalls::Finish::NameTaken) << error;
                    EXPECT_EQ(ReadAll(target), "someone else's");
                    // A named temporary stays for its owner to remove.
                    if (!unfinished || P().Folders().PathExists(temporary)) {
                        EXPECT_EQ(ReadAll(temporary), "mine");
                    }
                } else {
                    EXPECT_EQ(finish, FileCalls::Finish::Named) << error;
                    EXPECT_EQ(ReadAll(target), "mine");
                    EXPECT_FALSE(P().Folders().PathExists(temporary));
                }
                // Closed either way: the file can be removed now.
                for (const std::wstring& path : {temporary, target}) {
                    if (path == tree.Path(L"taken") || !P().Folders().PathExists(path)) continue;
                    P().Folders().SetAttributes(path, 0);
                    EXPECT_EQ(P().Folders().RemoveFile(path), ErrorCode::kSuccess);
                }
            }
        }
    }
    // Whatever stands at the temporary name is never opened or replaced.
    tree.File(L"new", "a leftover");
    FileHandle file;
    const std::uint32_t error = P().Files().CreateUnfinishedFile(temporary, file, 0);
    EXPECT_TRUE(error == ErrorCode::kFileExists || error == ErrorCode::kAlreadyExists) << error;
    EXPECT_EQ(ReadAll(temporary), "a leftover");
}

// Block after block, the copy of a file is the file, whatever its length
// says about the last block; a folder gives no bytes and says why.
TEST(Platform, BlocksCopyEveryByteAndEndAtTheEnd) {
    TestTree tree;
    constexpr std::uint32_t kBlock = 0x10000;
    std::vector<unsigned char> buffer(kBlock);
    auto copyAll = [&](const std::wstring& from, const std::wstring& to, std::uint32_t& error) {
        FileHandle source, target;
        error = P().Files().OpenForBackupRead(from, source);
        if (error == ErrorCode::kSuccess) error = P().Files().CreateNewFile(to, target);
        int blocks = 0;
        while (error == ErrorCode::kSuccess && blocks < 100) {
            std::uint32_t read = 0, written = 0;
            error = P().Files().CopyBlock(source.get(), target.get(), buffer.data(), kBlock, read, written);
            EXPECT_EQ(written, error == ErrorCode::kSuccess ? read : written);
            if (read == 0) break;
            ++blocks;
        }
        return blocks;
    };
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{kBlock - 1}, std::size_t{2 * kBlock},
                             std::size_t{2 * kBlock + 7}}) {
        SCOPED_TRACE(size);
        const std::wstring name = L"s" + std::to_wstring(size);
        tree.File(name, Pattern(size));
        std::uint32_t error = 0;
        const int blocks = copyAll(tree.Path(name), tree.Path(name + L".copy"), error);
        EXPECT_EQ(error, ErrorCode::kSuccess);
        EXPECT_EQ(blocks, static_cast<int>((size + kBlock - 1) / kBlock));
        EXPECT_EQ(ReadAll(tree.Path(name + L".copy")), Pattern(size));
    }
    tree.Folder(L"folder");
    std::uint32_t error = 0;
    EXPECT_EQ(copyAll(tree.Path(L"folder"), tree.Path(L"folder.copy"), error), 0);
    EXPECT_EQ(error, ErrorCode::kInvalidFunction);
#ifndef _WIN32
    // A file whose listed size is not its content: the kernel's own copy
    // gives nothing, the plain read gives it all.
    const int blocks = copyAll(L"Z:\\proc\\self\\status", tree.Path(L"status"), error);
    EXPECT_EQ(error, ErrorCode::kSuccess);
    EXPECT_GE(blocks, 1);
    EXPECT_NE(ReadAll(tree.Path(L"status")).find("Name:"), std::string::npos);
#endif
}

TEST(Platform, FullPathsResolveDotsWithoutClimbingAboveTheRoot) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\a\\b\\..\\c", L"C:\\a\\c"},     {L"C:\\a\\.\\b\\", L"C:\\a\\b\\"},
        {L"C:\\..\\..\\x", L"C:\\x"},           {L"C:\\a\\b\\..\\..", L"C:\\"},
        {L"C:/a//b", L"C:\\a\\b"},              {L"\\\\srv\\share\\..\\x", L"\\\\srv\\share\\x"},
        {L"\\\\srv\\share\\d\\.\\e", L"\\\\srv\\share\\d\\e"},
    };
    for (const auto& [path, expected] : cases) {
        std::wstring full;
        ASSERT_EQ(P().Folders().FullPath(path, full), ErrorCode::kSuccess) << path;
        EXPECT_EQ(full, expected) << path;
    }
    // A relative path is taken from the current folder.
    std::wstring here, relative;
    ASSERT_EQ(P().Folders().FullPath(L".", here), ErrorCode::kSuccess);
    ASSERT_EQ(P().Folders().FullPath(L"x\\..\\y", relative), ErrorCode::kSuccess);
    EXPECT_EQ(relative, JoinPath(here, L"y"));
}

TEST(Platform, IdentityFollowsTheObjectNotThePath) {
    TestTree tree;
    tree.File(L"folder\\file", "x");
    tree.File(L"other", "y");
    FileIdentity folder, file, other, again;
    ASSERT_EQ(P().Folders().Identify(tree.Path(L"folder"), folder), ErrorCode::kSuccess);
    ASSERT_EQ(P().Folders().Identify(tree.Path(L"folder\\file"), file), ErrorCode::kSuccess);
    ASSERT_EQ(P().Folders().Identify(tree.Path(L"other"), other), ErrorCode::kSuccess);
    ASSERT_EQ(P().Folders().Identify(tree.Path(L"folder\\.\\file"), again), ErrorCode::kSuccess);
    EXPECT_EQ(file, again);
    EXPECT_NE(file, other);
    EXPECT_NE(folder, file);
    EXPECT_EQ(P().Folders().Identify(tree.Path(L"missing"), again), ErrorCode::kFileNotFound);
    // Wine 8 makes links that its own opens do not follow; where a link can
    // be opened, it leads to the folder it names.
    if (MakeSymbolicLink(tree.Path(L"folder"), tree.Path(L"alias"), true) &&
        P().Folders().Identify(tree.Path(L"alias"), again) == ErrorCode::kSuccess) {
        EXPECT_EQ(again, folder);
    }
}

#ifndef _WIN32
TEST(PosixPlatform, MapsWindowsPathsOntoThePosixTree) {
    PosixPlatform posix;
    posix.MapDrive(L'e', "/media/e/");
    struct Case {
        const wchar_t* path;
        std::uint32_t error;
        const char* expected;
    };
    const Case cases[] = {
        {L"Z:\\tmp\\a", 0, "/tmp/a"},       {L"z:/tmp//a\\", 0, "/tmp/a/"}, {L"Z:\\", 0, "/"},
        {L"Z:", 0, "/"},                    {L"E:\\x", 0, "/media/e/x"},   {L"e:", 0, "/media/e/"},
        {L"C:\\x", ErrorCode::kPathNotFound, ""},
        {L"\\\\srv\\share\\x", ErrorCode::kBadNetPath, ""},
        {L"", ErrorCode::kPathNotFound, ""}, {L"\\tmp", 0, "/tmp"},      {L"rel\\x", 0, "rel/x"},
        {L"Z:\\\x00e9t\x00e9", 0, "/\xc3\xa9t\xc3\xa9"},
    };
    for (const auto& c : cases) {
        std::string posixPath;
        EXPECT_EQ(posix.ToPosixPath(c.path, posixPath), c.error) << c.path;
        if (c.error == 0) {
            EXPECT_EQ(posixPath, c.expected) << c.path;
        }
    }
}

TEST(PosixPlatform, ErrnoBecomesTheWindowsCode) {
    const std::pair<int, std::uint32_t> cases[] = {
        {EACCES, ErrorCode::kAccessDenied}, {EPERM, ErrorCode::kAccessDenied},  {EEXIST, ErrorCode::kFileExists},
        {ENOSPC, ErrorCode::kDiskFull},     {ENOTDIR, ErrorCode::kPathNotFound}, {EIO, ErrorCode::kIoDevice},
        {ENAMETOOLONG, ErrorCode::kFilenameExcedRange},                         {ETXTBSY, ErrorCode::kSharingViolation},
    };
    for (const auto& [error, code] : cases) EXPECT_EQ(ErrorFromErrno(error), code) << error;
    EXPECT_EQ(ErrorFromErrno(ENOENT, "/tmp/surely-missing-file"), ErrorCode::kFileNotFound);
    EXPECT_EQ(ErrorFromErrno(ENOENT, "/tmp/surely-missing-folder/file"), ErrorCode::kPathNotFound);
}

TEST(PosixPlatform, FullPathsFollowTheWin32Rules) {
    const std::wstring here = L"Z:\\home\\u";
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"a\\..\\b", L"Z:\\home\\u\\b"}, {L"..\\..\\..\\x", L"Z:\\x"}, {L"\\tmp\\.", L"Z:\\tmp"},
        {L"Z:rel", L"Z:\\home\\u\\rel"},    {L"C:rel", L"C:\\rel"},         {L"C:\\", L"C:\\"},
        {L"\\\\srv", L"\\\\srv"},               {L"", L""},                       {L"d\\", L"Z:\\home\\u\\d\\"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(ResolveFullPath(path, here), expected) << path;
}
#endif

}  // namespace
