#pragma once
// The few ntdll calls that act on an open file through its handle (rename,
// delete, set attributes and times), present on every Windows from XP on and
// looked up once. Where one is missing the pointer is null and the caller
// takes the documented kernel32 way instead.

#include <windows.h>

struct IoStatusBlock {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};

struct FileRenameInformation {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG fileNameLength;
    WCHAR fileName[1];
};

// Times of 0 are left as they are; attributes of 0 too.
struct FileBasicInformation {
    LARGE_INTEGER creationTime;
    LARGE_INTEGER lastAccessTime;
    LARGE_INTEGER lastWriteTime;
    LARGE_INTEGER changeTime;
    ULONG fileAttributes;
};

struct FileDispositionInformation {
    BOOLEAN deleteFile;
};

class NtFileCalls {
public:
    using SetInformationFile = LONG(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
    using StatusToError = ULONG(WINAPI*)(LONG);
    static constexpr int kFileBasicInformation = 4;
    static constexpr int kFileRenameInformation = 10;
    static constexpr int kFileDispositionInformation = 13;
    static constexpr LONG kStatusObjectNameCollision = static_cast<LONG>(0xC0000035);

    static const NtFileCalls& Get() {
        static const NtFileCalls calls;
        return calls;
    }
    bool Available() const { return setInformation && toError; }

    SetInformationFile setInformation = nullptr;
    StatusToError toError = nullptr;

private:
    NtFileCalls() {
        if (const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
            setInformation = reinterpret_cast<SetInformationFile>(
                reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtSetInformationFile")));
            toError = reinterpret_cast<StatusToError>(
                reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlNtStatusToDosError")));
        }
    }
};
