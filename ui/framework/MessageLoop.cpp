#include "ui/framework/MessageLoop.h"

#include <algorithm>

#include "ui/framework/CallbackGuard.h"

namespace Framework {
namespace {

template <class T>
bool Contains(const std::vector<T*>& list, T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
bool Remove(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

constexpr UINT kCaretBlinkMessage = 0x0118;

}  // namespace

void MessageLoop::AddMessageFilter(MessageFilter* filter) {
    if (filter != nullptr && !Contains(filters_, filter)) filters_.push_back(filter);
}

bool MessageLoop::RemoveMessageFilter(MessageFilter* filter) { return Remove(filters_, filter); }

void MessageLoop::AddIdleHandler(IdleHandler* handler) {
    if (handler != nullptr && !Contains(idleHandlers_, handler)) idleHandlers_.push_back(handler);
}

bool MessageLoop::RemoveIdleHandler(IdleHandler* handler) { return Remove(idleHandlers_, handler); }

bool MessageLoop::PreTranslateMessage(MSG* message) {
    // A filter can destroy its window, and so unregister filters, while it
    // runs: walk a snapshot and skip those removed in the meantime.
    const std::vector<MessageFilter*> snapshot = filters_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (!Contains(filters_, *it)) continue;
        if ((*it)->PreTranslateMessage(message)) return true;
    }
    return false;
}

bool MessageLoop::OnIdle() {
    const std::vector<IdleHandler*> snapshot = idleHandlers_;
    bool more = false;
    for (IdleHandler* handler : snapshot) {
        if (!Contains(idleHandlers_, handler)) continue;
        if (handler->OnIdle()) more = true;
    }
    return more;
}

bool MessageLoop::IsIdleMessage(const MSG& message) {
    switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kCaretBlinkMessage:
        return false;
    default:
        return true;
    }
}

int MessageLoop::Run() {
    MSG message{};
    bool idleDue = true;
    for (;;) {
        while (idleDue && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle()) idleDue = false;
        }
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (got == 0) break;
        if (!PreTranslateMessage(&message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (CallbackGuard::Pending()) break;  // no more messages for a failed program
        if (IsIdleMessage(message)) idleDue = true;
    }
    CallbackGuard::RethrowPending();
    return static_cast<int>(message.wParam);  // WM_QUIT's parameter
}

}  // namespace Framework
