#include "platform/FileCalls.h"

FileCalls::Finish FileCalls::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
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

std::uint32_t FileCalls::CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                              std::uint32_t attributes) {
    return CreateNewFile(temporary, file, attributes);
}

std::uint32_t FileCalls::CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                                   std::uint32_t& bytesRead, std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    std::uint32_t error = ReadFile(source, buffer, size, bytesRead);
    if (error != ErrorCode::kSuccess) bytesRead = 0;
    if (error != ErrorCode::kSuccess || bytesRead == 0) return error;
    return WriteFile(target, buffer, bytesRead, bytesWritten);
}

std::uint32_t FileCalls::StampNewFile(NativeHandle, std::uint64_t) { return ErrorCode::kNotSupported; }

std::uint32_t FileCalls::UnstampFile(const std::wstring&) { return ErrorCode::kNotSupported; }

std::uint32_t FileCalls::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    CloseFile(file);
    return RemoveTemporary(temporary);
}
