#include "platform/Platform.h"

Platform::Finish Platform::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                         std::uint32_t& error) {
    // A failed close can lose data the system still held for the file, so
    // the file never takes the name then. The stamp stays until the file has
    // its name: a copy killed before leaves a temporary the next run knows.
    error = CloseWrittenFile(file);
    if (error != ErrorCode::kSuccess) return Finish::CloseFailed;
    error = RenameNoReplace(from, to);
    if (error == ErrorCode::kSuccess) {
        UnstampFile(to);
        return Finish::Named;
    }
    return error == ErrorCode::kAlreadyExists || error == ErrorCode::kFileExists ? Finish::NameTaken
                                                                                : Finish::RenameFailed;
}

std::uint32_t Platform::CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                             std::uint32_t attributes) {
    return CreateNewFile(temporary, file, attributes);
}

std::uint32_t Platform::CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                                  std::uint32_t& bytesRead, std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    std::uint32_t error = ReadFile(source, buffer, size, bytesRead);
    if (error != ErrorCode::kSuccess) bytesRead = 0;
    if (error != ErrorCode::kSuccess || bytesRead == 0) return error;
    return WriteFile(target, buffer, bytesRead, bytesWritten);
}

std::uint32_t Platform::Identify(const std::wstring& path, FileIdentity& identity) {
    FileIdentity found;
    const std::uint32_t error = IdentifyFile(path, found);
    if (error != ErrorCode::kSuccess) return error;
    if (found.index == 0 && found.indexHigh == 0) return ErrorCode::kNotSupported;
    identity = found;
    return ErrorCode::kSuccess;
}

std::uint32_t Platform::StampNewFile(NativeHandle, std::uint64_t) { return ErrorCode::kNotSupported; }

std::uint32_t Platform::UnstampFile(const std::wstring&) { return ErrorCode::kNotSupported; }

std::uint32_t Platform::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    CloseFile(file);
    return RemoveTemporary(temporary);
}

std::uint32_t Platform::RemoveTemporary(const std::wstring& path) {
    FindHandle find;
    FindEntry entry;
    std::uint32_t error = FindFirst(path, find, entry);
    if (error != ErrorCode::kSuccess) return error;
    find.reset();
    if (entry.attributes & (FileAttribute::kDirectory | FileAttribute::kReparsePoint)) return ErrorCode::kAccessDenied;
    if (entry.attributes & FileAttribute::kReadOnly) {
        error = SetAttributes(path, entry.attributes & ~FileAttribute::kReadOnly & FileAttribute::kSetAtCreation);
        if (error != ErrorCode::kSuccess) return error;
    }
    return RemoveFile(path);
}
