#include "platform/FolderCalls.h"

std::uint32_t FolderCalls::Identify(const std::wstring& path, FileIdentity& identity) {
    FileIdentity found;
    const std::uint32_t error = IdentifyFile(path, found);
    if (error != ErrorCode::kSuccess) return error;
    if (found.index == 0 && found.indexHigh == 0) return ErrorCode::kNotSupported;
    identity = found;
    return ErrorCode::kSuccess;
}
