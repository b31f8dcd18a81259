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
// What an attribute read returns on failure (INVALID_FILE_ATTRIBUTES).
constexpr std::uint32_t kInvalid = 0xFFFFFFFF;

}  // namespace FileAttribute

// The execution-state flags of the keep-awake call.
namespace ExecutionState {

constexpr std::uint32_t kContinuous = 0x80000000;
constexpr std::uint32_t kSystemRequired = 0x00000001;
constexpr std::uint32_t kAwayModeRequired = 0x00000040;

}  // namespace ExecutionState
