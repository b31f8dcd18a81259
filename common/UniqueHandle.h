#pragma once
// One move-only owner for every kind of handle: window-system objects,
// registry keys, kernel objects, and the platform layer's handles that are
// closed through the platform that opened them. Header-only and free of
// system headers, so the portable core, Torvane.exe and Marrowgate.dll can
// all use it without linking anything.
//
// A kind of handle is a traits type:
//   using Type = ...;                        the handle's value
//   static Type Empty() noexcept;            the value that owns nothing
//                                            (nullptr, INVALID_HANDLE_VALUE, -1)
//   static void Close(Type value) noexcept;  closes a value other than Empty()
// Kinds that are closed through the object that opened them name it instead:
//   using Closer = ...;
//   static void Close(Closer& closer, Type value) noexcept;
// and their owners keep a pointer to that closer beside the value.

#include <type_traits>
#include <utility>

namespace Common {
namespace Detail {

struct NoCloser {};

template <typename Traits, typename = void>
struct CloserOf {
    using Type = NoCloser;
};
template <typename Traits>
struct CloserOf<Traits, std::void_t<typename Traits::Closer>> {
    using Type = typename Traits::Closer;
};

// Where an owner keeps its closer; empty (and, as a base, free) for kinds
// that close by the value alone.
template <typename Closer>
struct CloserSlot {
    Closer* closer = nullptr;
};
template <>
struct CloserSlot<NoCloser> {};

}  // namespace Detail

template <typename Traits>
class UniqueHandle : private Detail::CloserSlot<typename Detail::CloserOf<Traits>::Type> {
public:
    using Type = typename Traits::Type;
    using Closer = typename Detail::CloserOf<Traits>::Type;
    static constexpr bool kHasCloser = !std::is_same_v<Closer, Detail::NoCloser>;

    UniqueHandle() noexcept = default;
    // Owns value (kinds closed by the value alone).
    explicit UniqueHandle(Type value) noexcept : value_(value) {
        static_assert(!kHasCloser, "this kind is closed through a closer: pass it with the value");
    }
    // Owns value, to be closed through closer.
    UniqueHandle(Closer& closer, Type value) noexcept : value_(value) {
        static_assert(kHasCloser, "this kind is closed by its value alone");
        this->closer = &closer;
    }
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : Slot(other.slot()), value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            static_cast<Slot&>(*this) = other.slot();
            value_ = other.release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Empty(); }
    // The closer the value goes back to; null when none was given.
    Closer* owner() const noexcept {
        static_assert(kHasCloser, "this kind has no closer");
        return this->closer;
    }

    // Closes what is held (unless it is value itself), then owns value,
    // keeping the closer. The owner is empty while the close runs: code that
    // the close runs (a join that answers messages, a window's WM_DESTROY)
    // never finds the old value here to close a second time, nor the new one
    // before it is owned.
    void reset(Type value = Traits::Empty()) noexcept { Replace(slot(), value); }
    // The same, with the closer value is to be closed through.
    void reset(Closer& closer, Type value) noexcept {
        static_assert(kHasCloser, "this kind is closed by its value alone");
        Slot incoming;
        incoming.closer = &closer;
        Replace(incoming, value);
    }
    // Gives the value up unclosed; the owner is empty afterwards.
    Type release() noexcept { return std::exchange(value_, Traits::Empty()); }
    // Closes what is held and hands out the empty slot, for a call that fills
    // an out-parameter.
    Type* put() noexcept {
        static_assert(!kHasCloser, "an out-parameter cannot name the closer: use reset(closer, value)");
        reset();
        return &value_;
    }

private:
    using Slot = Detail::CloserSlot<Closer>;

    const Slot& slot() const noexcept { return *this; }

    void Replace(Slot incoming, Type value) noexcept {
        if (value != value_ || value == Traits::Empty()) {
            const Slot outgoing = slot();
            const Type old = release();
            if (old != Traits::Empty()) Close(outgoing, old);
        }
        static_cast<Slot&>(*this) = incoming;
        value_ = value;
    }

    static void Close(const Slot& from, Type value) noexcept {
        if constexpr (kHasCloser) {
            if (from.closer != nullptr) Traits::Close(*from.closer, value);
        } else {
            (void)from;
            Traits::Close(value);
        }
    }

    Type value_ = Traits::Empty();
};

}  // namespace Common
