#pragma once
// The paths a job has named in its run (targets it copied, temporaries it
// created), kept as 64-bit hashes so that a job of a million files holds a
// few megabytes. Paths are compared as a destination may compare them: the
// long-form prefix, ASCII case and the trailing dots and spaces of each
// component aside. So a second source name that the destination cannot
// tell from one already copied is found, and nothing this job named is
// ever taken for a leftover of an earlier run.

#include <cstdint>
#include <string>
#include <unordered_map>

class WrittenPaths {
public:
    // Keeps the first exact spelling of each folded path.
    void Add(const std::wstring& path) { hashes.emplace(KeyOf(path, true), KeyOf(path, false)); }
    // path, or a name the destination cannot tell from it, was named.
    bool Contains(const std::wstring& path) const { return hashes.count(KeyOf(path, true)) != 0; }
    // A name the destination cannot tell from path, spelt otherwise, was
    // named (two sources that hold the same name are no twins).
    bool HasTwinOf(const std::wstring& path) const {
        const auto found = hashes.find(KeyOf(path, true));
        return found != hashes.end() && found->second != KeyOf(path, false);
    }
    void Clear() { hashes.clear(); }

    static std::uint64_t KeyOf(const std::wstring& path, bool folded);

private:
    std::unordered_map<std::uint64_t, std::uint64_t> hashes;
};
