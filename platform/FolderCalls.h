#pragma once
// What stands at a path: its attributes, its removal, folders and their
// creation, the volume it lies on, its identity, its full and real path,
// and the path tests.

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

class FolderCalls {
public:
    virtual ~FolderCalls() = default;

    // --- Attributes, deletion, folders ---
    // attributes is set to FileAttribute::kInvalid on failure.
    virtual std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) = 0;
    virtual std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
    virtual std::uint32_t RemoveFile(const std::wstring& path) = 0;
    // One folder level; kAlreadyExists when something of that name exists.
    virtual std::uint32_t CreateFolder(const std::wstring& path) = 0;
    // The folder and every missing parent; the result is the error code of the
    // step that failed (kAlreadyExists / kFileExists when the path exists).
    virtual std::uint32_t CreateFolderTree(const std::wstring& path) = 0;

    // --- Volumes ---
    // The label of the volume whose root is given ("D:\"); empty when it has none.
    virtual std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) = 0;
    // The bytes free to the calling user on the volume holding path.
    virtual std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) = 0;

    // --- Identity and full paths ---
    // The identity of an existing file or folder (links and junctions are
    // followed to what they name). Fails with kNotSupported where the system
    // gives no index (an index of 0, as some servers give for every file):
    // no decision may rest on it then.
    std::uint32_t Identify(const std::wstring& path, FileIdentity& identity);
    // What the system itself gives as the identity, an index of 0 included.
    virtual std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) = 0;
    // Where an existing path really is: the full path after every link,
    // junction, mount point and substituted drive on the way, as far as the
    // system can tell. The default is the full path itself.
    virtual std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) { return FullPath(path, realPath); }
    // The full path of path, as the platform resolves it for every call: a
    // relative path is taken from the current folder, "." and ".." are
    // resolved and never climb above the root. Touches nothing on disk.
    virtual std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) = 0;

    // --- Path tests (false whenever the answer cannot be had) ---
    virtual bool PathExists(const std::wstring& path) = 0;
    virtual bool IsFolder(const std::wstring& path) = 0;
    virtual bool IsEmptyFolder(const std::wstring& path) = 0;
};

// The base of a decorator: passes every call on to inner.
class PassingFolderCalls : public FolderCalls {
public:
    explicit PassingFolderCalls(FolderCalls& inner) : inner(inner) {}

    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override {
        return inner.GetAttributes(path, attributes);
    }
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override {
        return inner.SetAttributes(path, attributes);
    }
    std::uint32_t RemoveFile(const std::wstring& path) override { return inner.RemoveFile(path); }
    std::uint32_t CreateFolder(const std::wstring& path) override { return inner.CreateFolder(path); }
    std::uint32_t CreateFolderTree(const std::wstring& path) override { return inner.CreateFolderTree(path); }
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override {
        return inner.VolumeLabel(root, label);
    }
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override {
        return inner.FreeBytes(path, freeBytes);
    }
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override {
        return inner.IdentifyFile(path, identity);
    }
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override {
        return inner.RealPath(path, realPath);
    }
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override {
        return inner.FullPath(path, fullPath);
    }
    bool PathExists(const std::wstring& path) override { return inner.PathExists(path); }
    bool IsFolder(const std::wstring& path) override { return inner.IsFolder(path); }
    bool IsEmptyFolder(const std::wstring& path) override { return inner.IsEmptyFolder(path); }

protected:
    FolderCalls& inner;
};
