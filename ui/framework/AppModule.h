#pragma once
// The application module: the program's instance handle and the table of
// message loops by thread, so that a window can find the loop of its own
// thread and register itself with it.

#include <windows.h>

namespace Framework {

class MessageLoop;

namespace AppModule {

// Called once by the entry point before any window exists, and once at the end.
void Init(HINSTANCE instance);
void Term();

// The module whose resources the framework loads: the one given to Init, or
// the process's executable when Init was not called (test programs).
HINSTANCE Instance();

// Registers the calling thread's loop. False when the thread has one already.
bool AddMessageLoop(MessageLoop* loop);
// Unregisters the calling thread's loop. False when it had none.
bool RemoveMessageLoop();
// The loop registered for the given thread, or null.
MessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

}  // namespace AppModule
}  // namespace Framework
