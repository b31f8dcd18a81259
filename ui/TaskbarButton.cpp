#include "ui/TaskbarButton.h"

#include <shobjidl.h>

#include "core/Diagnostics.h"
#include "ui/framework/Handles.h"

namespace {

TBPFLAG FlagOf(TaskbarState state) {
    switch (state) {
        case TaskbarState::Normal: return TBPF_NORMAL;
        case TaskbarState::Paused: return TBPF_PAUSED;
        case TaskbarState::Error: return TBPF_ERROR;
        case TaskbarState::None: break;
    }
    return TBPF_NOPROGRESS;
}

class ShellTaskbarList : public TaskbarList {
public:
    explicit ShellTaskbarList(Win::UniqueCom<ITaskbarList3> list) : list(std::move(list)) {}

    HRESULT SetProgressValue(HWND window, ULONGLONG completed, ULONGLONG total) override {
        return list.get()->SetProgressValue(window, completed, total);
    }
    HRESULT SetProgressState(HWND window, TaskbarState state) override {
        return list.get()->SetProgressState(window, FlagOf(state));
    }

private:
    Win::UniqueCom<ITaskbarList3> list;
};

}  // namespace

std::unique_ptr<TaskbarList> CreateShellTaskbarList() {
    Win::UniqueCom<ITaskbarList3> list;
    HRESULT result = ::CoCreateInstance(__uuidof(TaskbarList), nullptr, CLSCTX_INPROC_SERVER,
                                        __uuidof(ITaskbarList3), reinterpret_cast<void**>(list.put()));
    if (FAILED(result)) {
        Diagnostics::Report(L"CoCreateInstance(TaskbarList) failed.", static_cast<int>(result));
        return nullptr;
    }
    result = list.get()->HrInit();
    if (FAILED(result)) {
        Diagnostics::Report(L"ITaskbarList3::HrInit failed.", static_cast<int>(result));
        return nullptr;
    }
    return std::make_unique<ShellTaskbarList>(std::move(list));
}

UINT TaskbarButton::CreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void TaskbarButton::OnButtonCreated() {
    list = factory ? factory() : nullptr;
    shown = TaskbarProgress{};
}

void TaskbarButton::Show(HWND window, const TaskbarProgress& progress) {
    if (!list || progress == shown) return;
    HRESULT result = S_OK;
    // Setting a value also turns a button without progress to Normal, so the
    // value goes first and the state after it.
    if (progress.state != TaskbarState::None && (progress.value != shown.value || shown.state == TaskbarState::None)) {
        result = list->SetProgressValue(window, static_cast<ULONGLONG>(progress.value), kTaskbarRange);
    }
    if (SUCCEEDED(result) && progress.state != shown.state) result = list->SetProgressState(window, progress.state);
    if (FAILED(result)) {
        Diagnostics::Report(L"Taskbar progress failed.", static_cast<int>(result));
        list.reset();
        return;
    }
    shown = progress;
}
