#pragma once
// The copy module's single steps, which tests drive one at a time: one file,
// the removal of a target, and the flags a running job reads.

#include "engine/CopyModule.h"

struct CopyModuleTestSeam {
    static void CopyOneFile(CopyModule& module, const std::wstring& relativeName, const std::wstring& source,
                            const std::wstring& target, std::uint64_t expectedSize) {
        module.CopyOneFile(relativeName, source, target, expectedSize);
    }
    static bool DeleteTarget(CopyModule& module, const std::wstring& path) { return module.DeleteTarget(path); }
    static void SetCopyAttributes(CopyModule& module, bool on) { module.copyAttributes = on; }
    // A cancel as the copy thread sees it, without the join that Cancel makes.
    static void RequestCancel(CopyModule& module) { module.cancelRequested = true; }
    static bool CancelRequested(const CopyModule& module) { return module.cancelRequested; }
};
