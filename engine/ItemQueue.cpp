#include "engine/ItemQueue.h"

ItemQueue::ItemQueue(Platform& platform) : lock(platform) {}

void ItemQueue::Push(const ItemResult& item) {
    MutexLock guard(lock);
    records.push_back(item);
}

bool ItemQueue::Pop(ItemResult& item) {
    MutexLock guard(lock);
    if (records.empty()) return false;
    item = records.front();
    records.pop_front();
    return true;
}

bool ItemQueue::IsEmpty() {
    MutexLock guard(lock);
    return records.empty();
}
