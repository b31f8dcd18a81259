#pragma once
// The message loop of one user-interface thread. Windows of the thread take
// part in it as message filters (offered each message before it is
// dispatched) and idle handlers (called when the queue runs empty).

#include <windows.h>

#include <vector>

namespace Framework {

class MessageFilter {
public:
    // True when the message was consumed and must not be dispatched.
    virtual bool PreTranslateMessage(MSG* message) = 0;

protected:
    ~MessageFilter() = default;
};

class IdleHandler {
public:
    // True when the handler wants to be called again before the next message.
    virtual bool OnIdle() = 0;

protected:
    ~IdleHandler() = default;
};

class MessageLoop {
public:
    MessageLoop() = default;
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // Registration; a handler is registered at most once. Removing returns
    // false when the handler was not registered. A handler may remove itself
    // (or another) while the loop is calling handlers.
    void AddMessageFilter(MessageFilter* filter);
    bool RemoveMessageFilter(MessageFilter* filter);
    void AddIdleHandler(IdleHandler* handler);
    bool RemoveIdleHandler(IdleHandler* handler);

    // Runs until WM_QUIT and returns its parameter. A failure kept by a
    // window callback of this thread (CallbackGuard) is thrown from here.
    int Run();

    // Offers the message to the filters, newest first; true when one consumed it.
    bool PreTranslateMessage(MSG* message);

    // Calls every idle handler once, in registration order; true when any
    // of them wants more idle time.
    bool OnIdle();

    // Whether a message makes idle work due again: every message except the
    // mouse moves, WM_PAINT and 0x0118 (the caret blink timer).
    static bool IsIdleMessage(const MSG& message);

private:
    std::vector<MessageFilter*> filters_;
    std::vector<IdleHandler*> idleHandlers_;
};

}  // namespace Framework
