#include "tests/engine/TestTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "engine/EntryFilter.h"
#include "engine/PathHelpers.h"
#include "engine/TemporaryName.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/posix/PosixPlatform.h"
#endif

namespace {

std::atomic<int> treeCounter{0};

void CreateParents(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    const std::wstring parent = path.substr(0, slash);
    if (!SystemPlatform().Folders().IsFolder(parent)) SystemPlatform().Folders().CreateFolderTree(parent);
}

}  // namespace

std::string TestTree::PosixPathOf(const std::wstring& path) {
#ifdef _WIN32
    (void)path;
    return std::string();
#else
    std::string posix;
    static PosixPlatform mapper;
    mapper.ToPosixPath(path, posix);
    return posix;
#endif
}

TestTree::TestTree() {
#ifdef _WIN32
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    root = base + L"\\torvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++treeCounter);
#else
    const char* tmp = getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    std::wstring windowsBase = L"Z:";
    for (char c : base) windowsBase.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    if (windowsBase.back() == L'\\') windowsBase.pop_back();
    root = windowsBase + L"\\torvane-test-" + std::to_wstring(getpid()) + L"-" + std::to_wstring(++treeCounter);
#endif
    RemoveTree(root);
    const std::uint32_t error = SystemPlatform().Folders().CreateFolderTree(root);
    if (error != ErrorCode::kSuccess) ADD_FAILURE() << "cannot create the test folder, error " << error;
}

TestTree::~TestTree() { RemoveTree(root); }

std::wstring TestTree::Path(const std::wstring& relative) const { return JoinPath(root, relative); }

void TestTree::Folder(const std::wstring& relative) { SystemPlatform().Folders().CreateFolderTree(Path(relative)); }

void TestTree::File(const std::wstring& relative, const std::string& content) {
    const std::wstring path = Path(relative);
    CreateParents(path);
    FileHandle file;
    const std::uint32_t error = SystemPlatform().Files().CreateNewFile(path, file);
    ASSERT_EQ(error, ErrorCode::kSuccess) << "creating a test file";
    std::uint32_t written = 0;
    if (!content.empty()) {
        ASSERT_EQ(SystemPlatform().Files().WriteFile(file.get(), content.data(), static_cast<std::uint32_t>(content.size()),
                                             written),
                  ErrorCode::kSuccess);
    }
}

void TestTree::Leftover(const std::wstring& relative, const std::string& content) {
    CreateParents(Path(relative));
    MakeLeftover(Path(relative), content);
}

void MakeLeftover(const std::wstring& path, const std::string& content) {
    // Stamped first and written then, as a copy does: the writes leave the stamp.
    FileHandle file;
    ASSERT_EQ(SystemPlatform().Files().CreateNewFile(path, file), ErrorCode::kSuccess) << "creating a leftover";
    ASSERT_EQ(SystemPlatform().Files().StampNewFile(file.get(), TemporaryName::StampFor(FileNameOf(path), 0, 0)),
              ErrorCode::kSuccess);
    std::uint32_t written = 0;
    if (!content.empty()) {
        ASSERT_EQ(SystemPlatform().Files().WriteFile(file.get(), content.data(), static_cast<std::uint32_t>(content.size()),
                                             written),
                  ErrorCode::kSuccess);
    }
}

std::string ReadAll(const std::wstring& path) {
    FileHandle file;
    if (SystemPlatform().Files().OpenForBackupRead(path, file) != ErrorCode::kSuccess) return "<missing>";
    std::string content;
    char buffer[65536];
    for (;;) {
        std::uint32_t n = 0;
        if (SystemPlatform().Files().ReadFile(file.get(), buffer, sizeof buffer, n) != ErrorCode::kSuccess) return "<unreadable>";
        if (n == 0) break;
        content.append(buffer, n);
    }
    return content;
}

std::string Pattern(std::size_t size, unsigned seed) {
    std::string content(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& c : content) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return content;
}

namespace {

void SnapshotInto(const std::wstring& folder, const std::wstring& relative,
                  std::map<std::wstring, std::string>& files) {
    FindHandle find;
    FindEntry entry;
    if (SystemPlatform().Listing().FindFirst(JoinPath(folder, L"*"), find, entry) != ErrorCode::kSuccess) return;
    std::vector<std::wstring> folders;
    do {
        // Links are not followed: what they lead to is no part of the tree.
        if (IsDotEntry(entry) || IsPassedOverLink(entry)) continue;
        const std::wstring name = relative.empty() ? entry.name : JoinPath(relative, entry.name);
        if (entry.attributes & FileAttribute::kDirectory) {
            folders.push_back(entry.name);
            files[name + L"\\"] = "";
        } else {
            files[name] = ReadAll(JoinExactPath(folder, entry.name));
        }
    } while (SystemPlatform().Listing().FindNext(find.get(), entry) == ErrorCode::kSuccess);
    for (const auto& sub : folders) {
        SnapshotInto(JoinExactPath(folder, sub), relative.empty() ? sub : JoinPath(relative, sub), files);
    }
}

}  // namespace

std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    SnapshotInto(folder, L"", files);
    return files;
}

void RemoveTree(const std::wstring& folder) {
#ifdef _WIN32
    // Each name in the long form, so that names ending in a dot or a space
    // go too; links go themselves, never what they lead to.
    FindHandle find;
    FindEntry entry;
    if (SystemPlatform().Listing().FindFirst(JoinPath(folder, L"*"), find, entry) == ErrorCode::kSuccess) {
        do {
            if (IsDotEntry(entry)) continue;
            const std::wstring path = LongPathOf(JoinPath(folder, entry.name));
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(entry.attributes & FileAttribute::kDirectory)) {
                DeleteFileW(path.c_str());
            } else {
                if (!(entry.attributes & FileAttribute::kReparsePoint)) RemoveTree(path);
                RemoveDirectoryW(path.c_str());
            }
        } while (SystemPlatform().Listing().FindNext(find.get(), entry) == ErrorCode::kSuccess);
    }
    find.reset();
    SetFileAttributesW(LongPathOf(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(LongPathOf(folder).c_str());
#else
    std::error_code ignored;
    std::filesystem::remove_all(TestTree::PosixPathOf(folder), ignored);
#endif
}

bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link, bool isFolder) {
#ifdef _WIN32
    using CreateLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    const auto create = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    if (!create) return false;
    return create(link.c_str(), target.c_str(), isFolder ? 1 : 0) != 0;
#else
    (void)isFolder;
    return symlink(TestTree::PosixPathOf(target).c_str(), TestTree::PosixPathOf(link).c_str()) == 0;
#endif
}
