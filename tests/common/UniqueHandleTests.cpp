#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#ifdef _WIN32
#include "common/WindowsHandles.h"
#endif

namespace {

// What the kinds below closed, in order, and what runs inside each close.
std::vector<std::intptr_t> closed;
std::function<void()> duringClose;

template <typename T>
std::intptr_t Number(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<std::intptr_t>(value);
    } else {
        return static_cast<std::intptr_t>(value);
    }
}

template <typename T>
T FromNumber(std::intptr_t n) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(n);
    } else {
        return static_cast<T>(n);
    }
}

// One kind per empty value the real kinds use: null (window-system handles),
// an all-ones pointer (INVALID_HANDLE_VALUE), -1 as a number (descriptors and
// the platform's handles). Zero is a real handle for the last two.
template <typename T, std::intptr_t kEmpty>
struct RecordingKind {
    using Type = T;
    static Type Empty() noexcept { return FromNumber<T>(kEmpty); }
    static void Close(Type value) noexcept {
        closed.push_back(Number(value));
        if (duringClose) duringClose();
    }
};
using NullKind = RecordingKind<const void*, 0>;
using AllOnesPointerKind = RecordingKind<const void*, -1>;
using MinusOneKind = RecordingKind<int, -1>;

template <typename Kind>
class UniqueHandleKinds : public testing::Test {
protected:
    using Owner = Common::UniqueHandle<Kind>;
    static typename Kind::Type V(std::intptr_t n) { return FromNumber<typename Kind::Type>(n); }
    void SetUp() override {
        closed.clear();
        duringClose = nullptr;
    }
    void TearDown() override { duringClose = nullptr; }
};
using Kinds = testing::Types<NullKind, AllOnesPointerKind, MinusOneKind>;
TYPED_TEST_SUITE(UniqueHandleKinds, Kinds);

TYPED_TEST(UniqueHandleKinds, AnOwnerClosesItsValueOnceWhenItGoes) {
    {
        typename TestFixture::Owner owner(TestFixture::V(7));
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), TestFixture::V(7));
        EXPECT_TRUE(closed.empty());
    }
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{7}));
}

TYPED_TEST(UniqueHandleKinds, EmptyAndReleasedOwnersCloseNothing) {
    {
        typename TestFixture::Owner empty;
        EXPECT_FALSE(empty);
        EXPECT_EQ(empty.get(), TypeParam::Empty());
        typename TestFixture::Owner given(TestFixture::V(3));
        EXPECT_EQ(given.release(), TestFixture::V(3));
        EXPECT_FALSE(given);
        EXPECT_EQ(given.get(), TypeParam::Empty());
        typename TestFixture::Owner explicitlyEmpty(TypeParam::Empty());
        EXPECT_FALSE(explicitlyEmpty);
    }
    EXPECT_TRUE(closed.empty());
    // Zero is a handle wherever it is not the empty value.
    const bool zeroIsEmpty = Number(TypeParam::Empty()) == 0;
    { typename TestFixture::Owner zero(TestFixture::V(0)); EXPECT_EQ(static_cast<bool>(zero), !zeroIsEmpty); }
    EXPECT_EQ(closed.size(), zeroIsEmpty ? 0u : 1u);
}

TYPED_TEST(UniqueHandleKinds, ResetClosesTheOldValueButNeverTheOneItKeeps) {
    typename TestFixture::Owner owner(TestFixture::V(1));
    owner.reset(TestFixture::V(2));
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{1}));
    owner.reset(TestFixture::V(2));  // the same value again: still owned, not closed
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{1}));
    owner.reset();
    owner.reset();
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{1, 2}));
    EXPECT_FALSE(owner);
}

TYPED_TEST(UniqueHandleKinds, MovesHandOwnershipOn) {
    using Owner = typename TestFixture::Owner;
    static_assert(!std::is_copy_constructible_v<Owner> && !std::is_copy_assignable_v<Owner>);
    static_assert(std::is_nothrow_move_constructible_v<Owner> && std::is_nothrow_move_assignable_v<Owner>);
    static_assert(sizeof(Owner) == sizeof(typename TypeParam::Type), "a kind without a closer costs nothing");

    Owner first(TestFixture::V(1));
    Owner second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), TestFixture::V(1));
    Owner third(TestFixture::V(3));
    third = std::move(second);  // third's own value is closed
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{3}));
    EXPECT_FALSE(second);
    Owner& same = third;
    third = std::move(same);
    EXPECT_EQ(third.get(), TestFixture::V(1));
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{3}));
}

TYPED_TEST(UniqueHandleKinds, PutClosesWhatIsHeldAndHandsOutTheSlot) {
    typename TestFixture::Owner owner(TestFixture::V(1));
    typename TypeParam::Type* slot = owner.put();
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{1}));
    EXPECT_EQ(*slot, TypeParam::Empty());
    *slot = TestFixture::V(2);  // as an out-parameter fills it
    EXPECT_EQ(owner.get(), TestFixture::V(2));
}

TYPED_TEST(UniqueHandleKinds, TheOwnerIsEmptyWhileItsCloseRuns) {
    using Owner = typename TestFixture::Owner;
    Owner owner(TestFixture::V(1));
    Owner donor(TestFixture::V(4));
    std::vector<std::intptr_t> seen;
    duringClose = [&] { seen.push_back(Number(owner.get())); };
    owner.reset(TestFixture::V(2));
    EXPECT_EQ(owner.get(), TestFixture::V(2));
    owner = std::move(donor);
    EXPECT_EQ(owner.get(), TestFixture::V(4));
    owner.reset();
    EXPECT_EQ(closed, (std::vector<std::intptr_t>{1, 2, 4}));
    const std::intptr_t empty = Number(TypeParam::Empty());
    EXPECT_EQ(seen, (std::vector<std::intptr_t>{empty, empty, empty}));
}

// The platform's kind: closed through the object that opened it.
struct Opener {
    std::vector<std::intptr_t> closed;
};
struct OpenerKind {
    using Type = std::intptr_t;
    using Closer = Opener;
    static constexpr Type Empty() noexcept { return -1; }
    static void Close(Opener& opener, Type value) noexcept { opener.closed.push_back(value); }
};
using OpenerOwned = Common::UniqueHandle<OpenerKind>;

TEST(UniqueHandleWithCloser, ClosesThroughTheCloserOfEachValue) {
    Opener one;
    Opener two;
    {
        OpenerOwned owner(one, 5);
        EXPECT_EQ(owner.owner(), &one);
        owner.reset(7);  // a new value, the same closer
        owner.reset(two, 6);
        EXPECT_EQ(owner.owner(), &two);
        owner.reset(8);
        owner.reset(one, 8);  // the same value, handed to another closer: not closed
    }
    EXPECT_EQ(one.closed, (std::vector<std::intptr_t>{5, 7, 8}));
    EXPECT_EQ(two.closed, (std::vector<std::intptr_t>{6}));
}

TEST(UniqueHandleWithCloser, MovesCarryTheCloser) {
    Opener one;
    Opener two;
    OpenerOwned first(one, 1);
    OpenerOwned second(std::move(first));
    EXPECT_EQ(second.owner(), &one);
    OpenerOwned third(two, 2);
    third = std::move(second);
    EXPECT_EQ(two.closed, (std::vector<std::intptr_t>{2}));
    third.reset();
    EXPECT_EQ(one.closed, (std::vector<std::intptr_t>{1}));
    EXPECT_FALSE(first);
}

TEST(UniqueHandleWithCloser, AValueWithoutACloserIsDroppedUnclosed) {
    OpenerOwned owner;
    owner.reset(3);
    EXPECT_TRUE(owner);
    EXPECT_EQ(owner.owner(), nullptr);
    owner.reset();  // nothing to close it through
    EXPECT_FALSE(owner);
}

#ifdef _WIN32
// The Windows kinds whose empty value is INVALID_HANDLE_VALUE.
TEST(WindowsHandles, FileAndFindOwnersTakeTheFailureValueForEmpty) {
    WIN32_FIND_DATAW found{};
    Common::UniqueFind none(::FindFirstFileW(L"Z:\\no such folder here\\*", &found));
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);

    wchar_t folder[MAX_PATH + 1] = {};
    ASSERT_NE(::GetTempPathW(MAX_PATH + 1, folder), 0u);
    const std::wstring path = std::wstring(folder) + L"torvane-unique-file-" + std::to_wstring(::GetCurrentProcessId());
    {
        // Not shared: a second open succeeds only once the first owner closed.
        Common::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        Common::UniqueFile again(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(again);
        file.reset();
        again.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(again);
    }
    EXPECT_TRUE(::DeleteFileW(path.c_str()));
}
#endif

}  // namespace
