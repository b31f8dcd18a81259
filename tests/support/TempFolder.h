#pragma once
// A fresh folder for one test, removed with everything in it afterwards
// (read-only entries included). Its path is Windows-style on both builds:
// natively the POSIX folder seen through drive Z:, which the POSIX platform
// maps onto the root. Shared by the test programs of every folder; it uses
// nothing of the products, so the shell extension's tests can have it too.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            folder = base / ("torvane-scratch-" + std::to_string(seed()));
            if (std::filesystem::create_directory(folder)) break;
        }
    }
    ~TempFolder() {
        // Windows deletes no read-only file, POSIX nothing in a folder without
        // write permission: every entry is made writable first.
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (fs::recursive_directory_iterator entry(folder, ignored), end; entry != end; entry.increment(ignored)) {
            fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add | fs::perm_options::nofollow,
                            ignored);
        }
        fs::remove_all(folder, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The Windows-style path of the folder, or of a name below it.
    std::wstring Path(const std::wstring& relative = L"") const {
#ifdef _WIN32
        std::wstring path = folder.wstring();
#else
        std::wstring path = L"Z:" + folder.wstring();
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
#endif
        return relative.empty() ? path : path + L"\\" + relative;
    }

    // Creates a file with the given content below the folder (folders first);
    // returns its Windows-style path.
    std::wstring WriteFile(const std::wstring& relative, const std::string& content = {}) const {
        const std::filesystem::path path = Native(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return Path(relative);
    }
    void MakeFolder(const std::wstring& relative) const { std::filesystem::create_directories(Native(relative)); }
    bool IsFolder(const std::wstring& relative) const { return std::filesystem::is_directory(Native(relative)); }

    std::filesystem::path Native(const std::wstring& relative) const {
        std::filesystem::path path = folder;
        std::wstring part;
        for (wchar_t c : relative + L"\\") {
            if (c == L'\\') {
                if (!part.empty()) path /= part;
                part.clear();
            } else {
                part.push_back(c);
            }
        }
        return path;
    }

private:
    std::filesystem::path folder;
};
