#include "ui/framework/CallbackGuard.h"

#include <windows.h>

namespace Framework {
namespace CallbackGuard {
namespace {

thread_local std::exception_ptr kept;

}  // namespace

void Keep(std::exception_ptr failure) noexcept {
    if (!kept) kept = failure;
    // Ends every nested modal loop too: they pass WM_QUIT on to the outer loop.
    ::PostQuitMessage(0);
}

bool Pending() noexcept { return static_cast<bool>(kept); }

void RethrowPending() {
    if (!kept) return;
    std::exception_ptr failure = kept;
    kept = nullptr;
    // The quit message was only for the failure: the handler that catches it
    // may still show a message box, which a pending quit would close at once.
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    std::rethrow_exception(failure);
}

}  // namespace CallbackGuard
}  // namespace Framework
