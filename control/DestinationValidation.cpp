#include "control/DestinationValidation.h"

#include <vector>

#include "core/CommandLine.h"
#include "core/Diagnostics.h"
#include "core/PathText.h"
#include "engine/PathHelpers.h"
#include "core/LowerCase.h"

namespace DestinationMessages {
const wchar_t* const kInvalidFolderCaption = L"Invalid folder";
const wchar_t* const kNotAFolder = L"The destination must be a folder.";
const wchar_t* const kNotValid = L"The destination folder is not valid.";
const wchar_t* const kInsideSource =
    L"The destination folder is inside a folder that is being copied. Choose a destination outside the "
    L"source folders.";
const wchar_t* const kFreeSpaceCaption = L"Not enough free space";
const wchar_t* const kFreeSpace = L"The destination drive may not have enough free space.";
const wchar_t* const kNotEmptyCaption = L"Skip existing files";
const wchar_t* const kNotEmpty =
    L"The destination folder is not empty. Any existing files with the same name will cause that file copy "
    L"to be skipped.";
}  // namespace DestinationMessages

namespace {

using namespace DestinationMessages;

// The components of a path after folding case and separators and resolving
// "." and ".." (never above the first component, the root).
std::vector<std::wstring> CanonicalComponents(const std::wstring& path) {
    std::wstring text = LowerCase(path);
    for (wchar_t& c : text) {
        if (c == L'/') c = L'\\';
    }
    std::vector<std::wstring> components;
    size_t position = 0;
    bool first = true;
    while (position <= text.size()) {
        size_t end = text.find(L'\\', position);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring part = text.substr(position, end - position);
        if (first) {
            components.push_back(part);  // the drive, or "" before a UNC server name
        } else if (part == L"..") {
            if (components.size() > 1) components.pop_back();
        } else if (!part.empty() && part != L".") {
            components.push_back(part);
        }
        first = false;
        position = end + 1;
    }
    return components;
}

// "X:\..." or "\\server\share...": a path that does not depend on the
// current folder or drive of the process.
bool IsFullPath(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        const wchar_t drive = path[0];
        return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    }
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

// True when folder is dest or one of dest's existing ancestors by identity:
// a second drive letter on the same folder, a share of the local disk, a
// short name, a junction or a link in dest's path all lead to the same
// identity, whatever their text.
bool IsSameOrInsideByIdentity(const std::wstring& dest, const std::wstring& folder, Platform& platform) {
    FileIdentity folderIdentity;
    if (platform.Folders().Identify(folder, folderIdentity) != ErrorCode::kSuccess) return false;
    for (std::wstring path = dest; !path.empty(); path = ParentOf(path)) {
        FileIdentity identity;
        if (platform.Folders().Identify(path, identity) == ErrorCode::kSuccess && identity == folderIdentity) return true;
    }
    return false;
}

// Where path really is (RealPath), for a path whose last components may not
// exist yet: the real location of its deepest existing folder, with the
// rest appended. The full path itself when nothing on the way can be read.
std::wstring RealLocation(const std::wstring& path, Platform& platform) {
    std::wstring rest;
    for (std::wstring folder = path; !folder.empty(); folder = ParentOf(folder)) {
        std::wstring real;
        if (platform.Folders().PathExists(folder) && platform.Folders().RealPath(folder, real) == ErrorCode::kSuccess) {
            if (!rest.empty() && !real.empty() && real.back() != L'\\') real += L'\\';
            return real + rest;
        }
        const std::wstring name = FileNameOf(folder);
        rest = rest.empty() ? name : name + L"\\" + rest;
    }
    return path;
}

bool Refuse(Prompt& prompt, const wchar_t* text) {
    prompt.Ask(text, kInvalidFolderCaption, kWarningStyle);
    return false;
}

}  // namespace

bool IsSameOrInside(const std::wstring& path, const std::wstring& folder) {
    const std::vector<std::wstring> inner = CanonicalComponents(path);
    const std::vector<std::wstring> outer = CanonicalComponents(folder);
    if (outer.size() > inner.size()) return false;
    for (size_t i = 0; i < outer.size(); ++i) {
        if (inner[i] != outer[i]) return false;
    }
    return true;
}

std::wstring DestinationPath(const std::wstring& toText) {
    size_t first = 0, last = toText.size();
    while (first < last && PathText::IsSpace(toText[first])) ++first;
    while (last > first && PathText::IsSpace(toText[last - 1])) --last;
    return NormalizePath(toText.substr(first, last - first));
}

bool ValidateDestination(const DestinationRequest& request, Platform& platform, Prompt& prompt) {
    const std::wstring dest = DestinationPath(request.toText);

    // A relative path would name a folder under the process's current folder,
    // which the user neither sees nor chose.
    if (!IsFullPath(dest)) return Refuse(prompt, kNotValid);

    // Copying a folder into itself or below itself (with its subfolders)
    // would descend into its own output until the paths ran out. Checked
    // before anything is created inside the source: by text first, then by
    // where both really are (after links, junctions, mounts and substituted
    // drives), then by the identity of the folders on the way.
    if (request.includeSubfolders) {
        const std::wstring fullDest = FullPathOf(dest, platform);
        const std::wstring realDest = RealLocation(fullDest, platform);
        for (const std::wstring& text : request.sources.Normalized()) {
            const std::wstring source = FullPathOf(text, platform);
            if (!platform.Folders().IsFolder(source)) continue;
            const std::wstring realSource = RealLocation(source, platform);
            if (IsSameOrInside(fullDest, source) || IsSameOrInside(realDest, realSource) ||
                IsSameOrInsideByIdentity(fullDest, source, platform) ||
                IsSameOrInsideByIdentity(realDest, source, platform)) {
                return Refuse(prompt, kInsideSource);
            }
        }
    }

    if (platform.Folders().PathExists(dest)) {
        if (!platform.Folders().IsFolder(dest)) return Refuse(prompt, kNotAFolder);
    } else {
        const uint32_t result = platform.Folders().CreateFolderTree(dest);
        if (result != ErrorCode::kSuccess && result != ErrorCode::kFileExists && result != ErrorCode::kAlreadyExists) {
            return Refuse(prompt, kNotValid);
        }
        // Something of that name appeared meanwhile and it is not a folder:
        // the copy could not put anything into it.
        if (!platform.Folders().IsFolder(dest)) return Refuse(prompt, kNotAFolder);
    }

    std::wstring root = dest;
    PathText::AddBackslash(root);
    uint64_t freeBytes = 0;
    const uint32_t error = platform.Folders().FreeBytes(root, freeBytes);
    if (error != ErrorCode::kSuccess) {
        Diagnostics::Report(L"GetDiskFreeSpaceEx failed.", static_cast<int>(error));
        return false;
    }
    if (request.bytesTotal > freeBytes) {
        if (prompt.Ask(kFreeSpace, kFreeSpaceCaption, kQuestionStyle) != PromptAnswer::kOk) return false;
    }

    if (platform.Folders().IsEmptyFolder(dest)) return true;
    return prompt.Ask(kNotEmpty, kNotEmptyCaption, kQuestionStyle) == PromptAnswer::kOk;
}
