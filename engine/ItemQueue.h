#pragma once
// First-in first-out list of item failures, guarded by its own Mutex. The
// engine threads push; only the main thread pops.

#include <deque>

#include "engine/ItemResult.h"
#include "engine/Mutex.h"

class ItemQueue {
public:
    explicit ItemQueue(Platform& platform);
    ItemQueue(const ItemQueue&) = delete;
    ItemQueue& operator=(const ItemQueue&) = delete;

    void Push(const ItemResult& item);
    // Copies out the front record and removes it; false (item untouched) when empty.
    bool Pop(ItemResult& item);
    bool IsEmpty();

private:
    Mutex lock;
    std::deque<ItemResult> records;
};
