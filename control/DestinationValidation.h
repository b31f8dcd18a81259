#pragma once
// The checks made on the To field when Go asks for a copy. They may create
// the destination folder (with every missing parent) and ask up to two
// questions; the answer says whether the copy may be requested.

#include <cstdint>
#include <string>

#include "core/SourceList.h"
#include "platform/Platform.h"
#include "control/Prompt.h"

struct DestinationRequest {
    std::wstring toText;      // the To field as typed
    SourceList sources;       // a destination inside a source folder is refused
    bool includeSubfolders;   // only then can a copy descend into its own output
    std::uint64_t bytesTotal; // what discovery has counted so far
};

// Texts and styles of the boxes.
namespace DestinationMessages {
extern const wchar_t* const kInvalidFolderCaption;     // "Invalid folder"
extern const wchar_t* const kNotAFolder;               // "The destination must be a folder."
extern const wchar_t* const kNotValid;                 // "The destination folder is not valid."
extern const wchar_t* const kInsideSource;             // a destination inside a source folder
extern const wchar_t* const kFreeSpaceCaption;         // "Not enough free space"
extern const wchar_t* const kFreeSpace;
extern const wchar_t* const kNotEmptyCaption;          // "Skip existing files"
extern const wchar_t* const kNotEmpty;
constexpr std::uint32_t kWarningStyle = 0x30;   // OK, exclamation icon
constexpr std::uint32_t kQuestionStyle = 0x131; // OK and Cancel, exclamation icon, Cancel default
}  // namespace DestinationMessages

// In order: the destination must not lie inside a source folder (when
// subfolders are included) and must be a full path; an existing path must be
// a folder, a missing one is created; a failed free-space query refuses
// silently (diagnostic line "GetDiskFreeSpaceEx failed."); more bytes than
// free space and a non-empty folder each ask whether to go on (OK goes on).
bool ValidateDestination(const DestinationRequest& request, Platform& platform, Prompt& prompt);

// True when path is folder itself or lies below it. Compares case-blind,
// treats '/' as '\' and resolves "." and ".." components, so "D:\Data\.\x"
// lies inside "d:\data". Both paths should be full paths.
bool IsSameOrInside(const std::wstring& path, const std::wstring& folder);

// The destination as validation and the copy see it: surrounding white space
// removed, then NormalizePath.
std::wstring DestinationPath(const std::wstring& toText);
