#pragma once
// The progress on the window's taskbar button (Windows 7 and later). The
// shell says when the button exists (the registered "TaskbarButtonCreated"
// message, again after Explorer restarts); from then on each tick hands the
// wanted progress here, and only what differs from what the button shows
// reaches the shell. Where the taskbar has no progress interface (XP,
// Vista), or a call to it fails, the button shows nothing and nothing else
// changes.

#include <windows.h>

#include <functional>
#include <memory>

#include "control/TaskbarProgress.h"

// What the button needs of the shell's taskbar list. The program's one
// wraps ITaskbarList3; tests record the calls instead.
class TaskbarList {
public:
    virtual ~TaskbarList() = default;
    virtual HRESULT SetProgressValue(HWND window, ULONGLONG completed, ULONGLONG total) = 0;
    virtual HRESULT SetProgressState(HWND window, TaskbarState state) = 0;
};

// The shell's taskbar list through COM (the thread must be in an
// apartment); null when it cannot be had.
std::unique_ptr<TaskbarList> CreateShellTaskbarList();

class TaskbarButton {
public:
    using Factory = std::function<std::unique_ptr<TaskbarList>()>;

    TaskbarButton() : factory(&CreateShellTaskbarList) {}

    // The registered message the shell sends when the button is created.
    static UINT CreatedMessage();

    // The button is new and shows no progress; the next Show sets it up.
    void OnButtonCreated();
    // Brings the button to progress with the fewest calls; does nothing
    // without a taskbar list. A failed call drops the list until the button
    // is created again.
    void Show(HWND window, const TaskbarProgress& progress);

    void SetFactory(Factory replacement) { factory = std::move(replacement); }

private:
    Factory factory;
    std::unique_ptr<TaskbarList> list;
    TaskbarProgress shown;  // what the button shows
};
