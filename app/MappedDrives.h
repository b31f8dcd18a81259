#pragma once
// An elevated process has drive mappings of its own: a path on a drive the
// user mapped to a network share means nothing to it. Before the elevated
// re-launch, such paths are handed over as their universal (UNC) names.

#include <functional>
#include <string>

// Finds the universal name of a path on a mapped network drive. False when
// the path is not on one (a local drive, say); universal is then unchanged.
using UniversalNameLookup = std::function<bool(const std::wstring& path, std::wstring& universal)>;

// The parameters for the elevated instance. The tail is split with the
// argument rules the new instance will apply; every argument that starts
// with a drive letter and has a universal name is replaced by it. Without
// any replacement the tail is returned exactly as it came; otherwise every
// argument is passed quoted, separated by one space.
std::wstring ParametersForElevation(const std::wstring& commandLineTail, const UniversalNameLookup& lookup);
