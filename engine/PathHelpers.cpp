#include "engine/PathHelpers.h"

#include "core/PathText.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Removes the last component the way PathRemoveFileSpecW does; false when
// nothing was removed.
bool RemoveFileSpec(std::wstring& path) {
    size_t i = 0;
    size_t spec = 0;
    if (i < path.size() && path[i] == L'\\') spec = ++i;
    if (i < path.size() && path[i] == L'\\') spec = ++i;
    while (i < path.size()) {
        if (path[i] == L'\\') {
            spec = i;
        } else if (path[i] == L':') {
            spec = ++i;
            if (i < path.size() && path[i] == L'\\') ++spec;
            if (i >= path.size()) break;
        }
        ++i;
    }
    if (spec >= path.size()) return false;
    path.erase(spec);
    return true;
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if ((IsSeparator(c) || c == L':') && i + 1 < path.size() && !IsSeparator(path[i + 1])) start = i + 1;
    }
    return path.substr(start);
}

std::wstring RootOf(const std::wstring& path) {
    std::wstring root = path;
    while (!PathText::IsRoot(root)) {
        if (!RemoveFileSpec(root)) return path;
    }
    return root;
}

bool IsDriveRoot(const std::wstring& path) {
    if (path.size() != 3 || path[1] != L':' || path[2] != L'\\') return false;
    const wchar_t letter = path[0];
    return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
}

bool IsUncPath(const std::wstring& path) {
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\' && (path.size() < 3 || path[2] != L'?');
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    std::wstring joined;
    joined.reserve(folder.size() + 1 + name.size());
    joined += folder;
    joined += L'\\';
    joined += name;
    return joined;
}

std::wstring LongPathOf(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (IsUncPath(path)) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool NeedsLongForm(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return true;
    // Device names, whatever follows the first dot, blanks before it aside.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
        base == L"CONOUT$") {
        return true;
    }
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

std::wstring JoinExactPath(const std::wstring& folder, const std::wstring& name) {
    const std::wstring joined = JoinPath(folder, name);
    return NeedsLongForm(name) ? LongPathOf(joined) : joined;
}

bool PathExists(const std::wstring& path, Platform& platform) { return platform.Folders().PathExists(path); }

bool IsFolder(const std::wstring& path, Platform& platform) { return platform.Folders().IsFolder(path); }

bool IsNotFolder(const std::wstring& path, Platform& platform) { return !platform.Folders().IsFolder(path); }

bool AllSourcesExist(const SourceList& sources, Platform& platform) {
    if (sources.Normalized().empty()) return false;
    for (const auto& source : sources.Normalized()) {
        if (!PathExists(source, platform)) return false;
    }
    return true;
}

std::wstring FullPathOf(const std::wstring& path, Platform& platform) {
    const std::wstring normalized = NormalizePath(path);
    std::wstring full;
    if (normalized.empty() || platform.Folders().FullPath(normalized, full) != ErrorCode::kSuccess) return normalized;
    if (full.size() > 1 && IsSeparator(full.back()) && !PathText::IsRoot(full)) full.pop_back();
    return full;
}

std::wstring ParentOf(const std::wstring& path) {
    if (PathText::IsRoot(path)) return std::wstring();
    std::wstring parent = path;
    if (!RemoveFileSpec(parent) || parent == path) return std::wstring();
    return parent;
}
