#include "platform/win32/Win32Threads.h"

#include <windows.h>

#include <new>

#include "platform/win32/Win32Values.h"

namespace {

using Win32::AsHandle;
using Win32::FromHandle;
using Win32::LastError;

struct ThreadStart {
    ThreadBody body;
    void* argument;
};

DWORD WINAPI ThreadTrampoline(LPVOID parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    return start.body(start.argument);
}

}  // namespace

std::uint32_t Win32Threads::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    auto* start = new (std::nothrow) ThreadStart{body, argument};
    if (!start) return ERROR_NOT_ENOUGH_MEMORY;
    const HANDLE handle = CreateThread(nullptr, 0, &ThreadTrampoline, start, 0, nullptr);
    if (!handle) {
        const std::uint32_t error = LastError();
        delete start;
        return error;
    }
    thread.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

void Win32Threads::JoinThread(NativeHandle thread) noexcept {
    const HANDLE handle = AsHandle(thread);
    // The window's thread joins workers; while it waits it still answers
    // messages other threads send it and repaints, so the window never looks
    // hung, even while a worker's block hangs on a dead share. Posted input
    // and timer messages wait in the queue until the join is over, so no
    // command and no tick runs inside it.
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT);
        if (result == WAIT_OBJECT_0) break;
        if (result != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(handle, INFINITE);
            break;
        }
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers sent messages
        while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
    }
    CloseHandle(handle);
}

void Win32Threads::SleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

void Win32Threads::KeepAwake(bool on) {
    if (!on) {
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(ExecutionState::kContinuous));
        return;
    }
    const std::uint32_t state =
        ExecutionState::kContinuous | ExecutionState::kSystemRequired | ExecutionState::kAwayModeRequired;
    // Before Vista the away-mode flag makes the whole call fail, and the
    // machine could then sleep mid-copy: ask again without it.
    if (SetThreadExecutionState(static_cast<EXECUTION_STATE>(state)) == 0) {
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(state & ~ExecutionState::kAwayModeRequired));
    }
}

std::uint32_t Win32Threads::TickCount() { return GetTickCount(); }
