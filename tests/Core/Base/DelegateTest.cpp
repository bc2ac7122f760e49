#include "Core/Base/Delegate.h"
#include "Core/Base/SharedPtr.h"

#include <gtest/gtest.h>

namespace
{

struct Counter
{
    virtual ~Counter() = default;
    virtual int Add(int n) { return mTotal += n; }
    int Twice(int a, int b) { return mTotal += 2 * (a + b); }
    int mTotal = 0;
};

struct Special : Counter
{
    int Add(int n) override { return mTotal += 100 * n; }
};

int Square(int x)
{
    return x * x;
}

// Handlers are unsubscribed by target and method: both must identify the binding.
TEST(Delegate, CallsDispatchVirtuallyAndIdentifyTheirTargetAndMethod)
{
    Special special;
    base::MemberDelegate1<Counter, int, int> add(&special, &Counter::Add);
    base::MemberDelegate1<Counter, int, int> again(&special, &Counter::Add);
    base::MemberDelegate2<Counter, int, int, int> twice(&special, &Counter::Twice);
    EXPECT_EQ(add.Invoke(2), 200);
    EXPECT_EQ(twice.Invoke(1, 2), 206);
    EXPECT_EQ(add.GetTarget(), &special);
    EXPECT_EQ(add.GetMethod(), again.GetMethod());
    EXPECT_NE(static_cast<const void*>(twice.GetMethod()), add.GetMethod());

    base::StaticDelegate1<int, int> square(&Square);
    EXPECT_EQ(square.Invoke(7), 49);
    EXPECT_EQ(square.GetMethod(), nullptr);
    EXPECT_EQ(square.GetTarget(), reinterpret_cast<void*>(&Square));
}

int gAlive = 0;
struct Tracked : base::Delegate0<>
{
    Tracked() { ++gAlive; }
    ~Tracked() override { --gAlive; }
    void* GetTarget() const override { return nullptr; }
    const void* GetMethod() const override { return nullptr; }
    void Invoke() override {}
};

TEST(SharedPtr, DeletesExactlyOnceThroughResetsCopiesAndSelfAssignment)
{
    gAlive = 0;
    {
        base::SharedPtr<Tracked> empty;
        empty.Reset(nullptr);
        EXPECT_EQ(empty.GetCount(), 0);

        base::SharedPtr<Tracked> a(new Tracked);
        Tracked* raw = a.Get();
        a.Reset(raw); // the held pointer again: kept, not freed
        EXPECT_EQ(gAlive, 1);
        EXPECT_EQ(a.GetCount(), 1);

        base::SharedPtr<Tracked> b(new Tracked);
        b = a;
        EXPECT_EQ(gAlive, 1);
        EXPECT_EQ(a.GetCount(), 2);
        base::SharedPtr<Tracked>& self = b;
        b = self;
        EXPECT_EQ(a.GetCount(), 2);
        a.Reset(nullptr);
        EXPECT_EQ(gAlive, 1);
        EXPECT_EQ(b.GetCount(), 1);
        a.Reset(new Tracked);
        EXPECT_EQ(gAlive, 2);
    }
    EXPECT_EQ(gAlive, 0);
}

// An object whose destructor resets the pointer that owns it, as a delegate
// that unsubscribes itself does.
struct SelfResetting : Tracked
{
    base::SharedPtr<Tracked>* mOwner = nullptr;
    ~SelfResetting() override { mOwner->Reset(nullptr); }
};

TEST(SharedPtr, ObjectResettingItsOwnerFromItsDestructorIsDeletedOnce)
{
    gAlive = 0;
    base::SharedPtr<Tracked> owner;
    auto* object = new SelfResetting;
    object->mOwner = &owner;
    owner.Reset(object);
    owner.Reset(new Tracked);
    EXPECT_EQ(gAlive, 1);
    EXPECT_TRUE(owner) << "the new object is taken after the old one's destructor ran";
}

} // namespace
