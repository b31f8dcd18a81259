#pragma once
// The bits of the platform's file attribute word, with their Windows values.

#include <cstdint>

namespace FileAttribute {

constexpr std::uint32_t kReadOnly = 0x1;
constexpr std::uint32_t kHidden = 0x2;
constexpr std::uint32_t kSystem = 0x4;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kTemporary = 0x100;
constexpr std::uint32_t kReparsePoint = 0x400;
constexpr std::uint32_t kCompressed = 0x800;
constexpr std::uint32_t kNotContentIndexed = 0x2000;
constexpr std::uint32_t kOffline = 0x1000;
// What an attribute read returns on failure (INVALID_FILE_ATTRIBUTES).
constexpr std::uint32_t kInvalid = 0xFFFFFFFF;

// The attributes a new file is created with, and those only a later set can
// give it. Others (directory, reparse point, compression, offline...) describe
// how the source is stored and are never copied: a copy is an ordinary file
// whose data is all there.
constexpr std::uint32_t kSetAtCreation = kReadOnly | kHidden | kSystem | kArchive | kTemporary;
constexpr std::uint32_t kSetLater = kNotContentIndexed;

}  // namespace FileAttribute

// Reparse tags: which kinds of reparse point are names of other places.
namespace ReparseTag {

constexpr std::uint32_t kMountPoint = 0xA0000003;  // junctions and volume mount points
constexpr std::uint32_t kSymlink = 0xA000000C;
constexpr std::uint32_t kNameSurrogateBit = 0x20000000;

// A name surrogate (a link, a junction, a mount point) stands for another
// file or folder; every other tag marks data kept in an unusual way
// (deduplicated, offline, a cloud placeholder) that is still the file's own.
constexpr bool IsNameSurrogate(std::uint32_t tag) { return (tag & kNameSurrogateBit) != 0; }

}  // namespace ReparseTag

// The execution-state flags of the keep-awake call.
namespace ExecutionState {

constexpr std::uint32_t kContinuous = 0x80000000;
constexpr std::uint32_t kSystemRequired = 0x00000001;
constexpr std::uint32_t kAwayModeRequired = 0x00000040;

}  // namespace ExecutionState
