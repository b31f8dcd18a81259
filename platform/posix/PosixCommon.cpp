#include "platform/posix/PosixCommon.h"

namespace Posix {

std::string Narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::wstring Widen(const char* text) {
    std::wstring out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        std::uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool valid = true;
        if (extra) {
            c &= 0x3F >> extra;
            for (int i = 1; i <= extra; ++i) {
                if ((p[i] & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (p[i] & 0x3F);
            }
        }
        if (!valid) {
            c = *p;
            extra = 0;
        }
        out.push_back(static_cast<wchar_t>(c));
        p += 1 + extra;
    }
    return out;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool IsDotName(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

std::uint64_t FileTimeOf(const timespec& time) {
    constexpr std::int64_t kSecondsFrom1601 = 11644473600;
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601;
    if (seconds < 0) return 0;
    return static_cast<std::uint64_t>(seconds) * 10000000u + static_cast<std::uint64_t>(time.tv_nsec) / 100u;
}

void SetEntryTimes(const struct stat& info, FindEntry& entry) {
    entry.lastWriteTime = FileTimeOf(info.st_mtim);
    entry.lastAccessTime = FileTimeOf(info.st_atim);
}

bool HasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

std::uint32_t AttributesOf(const struct stat& linkInfo, const std::string& name, const std::string& fullPath) {
    std::uint32_t attributes = 0;
    struct stat info = linkInfo;
    if (S_ISLNK(linkInfo.st_mode)) {
        attributes |= FileAttribute::kReparsePoint;
        struct stat target;
        if (stat(fullPath.c_str(), &target) == 0) info = target;
    }
    if (S_ISDIR(info.st_mode)) {
        attributes |= FileAttribute::kDirectory;
    } else {
        attributes |= FileAttribute::kArchive;
    }
    if (!HasWriteBits(linkInfo.st_mode) && !S_ISLNK(linkInfo.st_mode)) attributes |= FileAttribute::kReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= FileAttribute::kHidden;
    return attributes;
}

}  // namespace Posix
