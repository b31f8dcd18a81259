#pragma once
// The platform error codes the engine looks at, with their Windows values.
// Both platform layers report these numbers: the Win32 layer passes
// GetLastError() through, the POSIX layer maps errno onto them.

#include <cstdint>

namespace ErrorCode {

constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kInvalidFunction = 1;
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kTooManyOpenFiles = 4;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kNotEnoughMemory = 8;
constexpr std::uint32_t kNoMoreFiles = 18;
constexpr std::uint32_t kWriteProtect = 19;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kLockViolation = 33;
constexpr std::uint32_t kHandleEof = 38;
constexpr std::uint32_t kHandleDiskFull = 39;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kBadNetPath = 53;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kBrokenPipe = 109;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kDirNotEmpty = 145;
constexpr std::uint32_t kBadPathname = 161;
constexpr std::uint32_t kBusy = 170;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kFilenameExcedRange = 206;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kDirectory = 267;
constexpr std::uint32_t kNotOwner = 288;
// What a wait reports when the mutex's owner ended while holding it.
constexpr std::uint32_t kAbandonedWait0 = 735;
constexpr std::uint32_t kCantAccessFile = 1920;
constexpr std::uint32_t kCantResolveFilename = 1921;
constexpr std::uint32_t kIoDevice = 1117;
constexpr std::uint32_t kTooManyLinks = 1142;
constexpr std::uint32_t kNoSystemResources = 1450;
constexpr std::uint32_t kNotEnoughQuota = 1816;
constexpr std::uint32_t kGenFailure = 31;

}  // namespace ErrorCode
