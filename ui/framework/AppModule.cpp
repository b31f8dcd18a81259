#include "ui/framework/AppModule.h"

#include <map>

namespace Framework {
namespace AppModule {
namespace {

// The table is touched by every thread that runs a loop; a critical section
// guards it. It is created on first use and lives until the process ends, so
// it is valid whatever the order of Init and static construction.
struct LoopTable {
    LoopTable() { ::InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::map<DWORD, MessageLoop*> loops;
};

LoopTable& Table() {
    static LoopTable* table = new LoopTable();  // never destroyed: used up to process exit
    return *table;
}

class TableLock {
public:
    TableLock() { ::EnterCriticalSection(&Table().lock); }
    ~TableLock() { ::LeaveCriticalSection(&Table().lock); }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
};

HINSTANCE moduleInstance = nullptr;

}  // namespace

void Init(HINSTANCE instance) {
    Table();
    moduleInstance = instance;
}

void Term() {
    TableLock lock;
    Table().loops.clear();
}

HINSTANCE Instance() {
    return moduleInstance != nullptr ? moduleInstance : ::GetModuleHandleW(nullptr);
}

bool AddMessageLoop(MessageLoop* loop) {
    TableLock lock;
    return Table().loops.emplace(::GetCurrentThreadId(), loop).second;
}

bool RemoveMessageLoop() {
    TableLock lock;
    return Table().loops.erase(::GetCurrentThreadId()) != 0;
}

MessageLoop* GetMessageLoop(DWORD threadId) {
    TableLock lock;
    auto it = Table().loops.find(threadId);
    return it != Table().loops.end() ? it->second : nullptr;
}

}  // namespace AppModule
}  // namespace Framework
