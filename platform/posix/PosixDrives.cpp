#include "platform/posix/PosixDrives.h"

#include <vector>

#include "platform/ErrorCodes.h"
#include "platform/posix/PosixCommon.h"

using Posix::IsSeparator;
using Posix::Narrow;

PosixDrives::PosixDrives() { MapDrive(L'Z', ""); }

void PosixDrives::MapDrive(wchar_t letter, const std::string& folder) {
    if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
    if (letter < L'A' || letter > L'Z') return;
    std::string trimmed = folder;
    while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
    driveFolders[letter - L'A'] = trimmed;
    driveMapped[letter - L'A'] = true;
}

std::uint32_t PosixDrives::ToPosixPath(const std::wstring& path, std::string& posixPath) const {
    if (path.empty()) return ErrorCode::kPathNotFound;
    // The long form names the same path: "\\?\X:\..." is "X:\...".
    if (path.compare(0, 4, L"\\\\?\\") == 0) {
        if (path.compare(4, 4, L"UNC\\") == 0) return ErrorCode::kBadNetPath;
        return ToPosixPath(path.substr(4), posixPath);
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return ErrorCode::kBadNetPath;
    std::wstring rest = path;
    std::string prefix;
    if (path.size() >= 2 && path[1] == L':') {
        wchar_t letter = path[0];
        if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
        if (letter < L'A' || letter > L'Z') return ErrorCode::kInvalidName;
        if (!driveMapped[letter - L'A']) return ErrorCode::kPathNotFound;
        prefix = driveFolders[letter - L'A'];
        rest = path.substr(2);
        if (rest.empty() || !IsSeparator(rest[0])) rest.insert(rest.begin(), L'/');
    }
    std::string converted = prefix + Narrow(rest);
    std::string out;
    out.reserve(converted.size());
    for (char c : converted) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(c);
    }
    if (out.empty()) out = "/";
    posixPath = std::move(out);
    return ErrorCode::kSuccess;
}

std::wstring ResolveFullPath(const std::wstring& path, const std::wstring& currentFolder) {
    if (path.empty()) return std::wstring();
    const bool currentIsFull = currentFolder.size() >= 3 && currentFolder[1] == L':' && IsSeparator(currentFolder[2]);
    if (!currentIsFull) return ResolveFullPath(path, L"Z:\\");
    auto isDrive = [](const std::wstring& text) {
        return text.size() >= 2 && text[1] == L':' &&
               ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
    };
    // Root and the rest to resolve below it.
    std::wstring root, rest;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share: both components belong to the root.
        size_t position = 2;
        root = L"\\\\";
        for (int part = 0; part < 2 && position < path.size(); ++part) {
            const size_t start = position;
            while (position < path.size() && !IsSeparator(path[position])) ++position;
            if (part == 1) root += L'\\';
            root += path.substr(start, position - start);
            if (position < path.size()) ++position;
        }
        rest = path.substr(position);
    } else if (isDrive(path) && path.size() >= 3 && IsSeparator(path[2])) {
        root = path.substr(0, 2) + L"\\";
        rest = path.substr(3);
    } else if (isDrive(path)) {
        const bool sameDrive = isDrive(currentFolder) && (currentFolder[0] | 0x20) == (path[0] | 0x20);
        return ResolveFullPath(sameDrive ? currentFolder + L"\\" + path.substr(2) : path.substr(0, 2) + L"\\" +
                                                                                        path.substr(2),
                               currentFolder);
    } else if (IsSeparator(path[0])) {
        return ResolveFullPath(currentFolder.substr(0, 2) + path, currentFolder);
    } else {
        return ResolveFullPath(currentFolder + L"\\" + path, currentFolder);
    }
    std::vector<std::wstring> parts;
    size_t position = 0;
    while (position < rest.size()) {
        size_t end = position;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        const std::wstring part = rest.substr(position, end - position);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        position = end + 1;
    }
    std::wstring full = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!full.empty() && full.back() != L'\\') full += L'\\';
        full += parts[i];
    }
    if (!parts.empty() && IsSeparator(path.back())) full += L'\\';
    return full;
}
