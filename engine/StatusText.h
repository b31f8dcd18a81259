#pragma once
// The relative name of the file being copied, handed from the copy thread to
// the main thread. The copy thread replaces it once per file and the main
// thread reads it every tick; both hold a spin lock for a swap or a copy, so
// the handover makes no platform call.

#include <atomic>
#include <string>
#include <utility>

class StatusText {
public:
    void Set(std::wstring text) {
        {
            Hold hold(flag);
            current.swap(text);
        }
        // The old text is freed outside the lock.
    }
    std::wstring Get() const {
        Hold hold(flag);
        return current;
    }

private:
    // Held for a swap or a copy only; neither thread ever waits long.
    class Hold {
    public:
        explicit Hold(std::atomic_flag& flag) : flag(flag) {
            while (flag.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Hold() { flag.clear(std::memory_order_release); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        std::atomic_flag& flag;
    };

    mutable std::atomic_flag flag = ATOMIC_FLAG_INIT;
    std::wstring current;
};
