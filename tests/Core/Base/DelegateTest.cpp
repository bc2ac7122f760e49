#include "Core/Base/Delegate.h"
#include "Core/Base/SharedPtr.h"

#include <gtest/gtest.h>

namespace
{

int gAlive = 0;
struct Tracked : base::Delegate0<>
{
    Tracked() { ++gAlive; }
    ~Tracked() override { --gAlive; }
    void* GetTarget() const override { return nullptr; }
    const void* GetMethod() const override { return nullptr; }
    void Invoke() override {}
};

// Resets the pointer that owns it from its destructor, as a delegate that
// unsubscribes itself does.
struct SelfResetting : Tracked
{
    base::SharedPtr<Tracked>* mOwner = nullptr;
    ~SelfResetting() override { mOwner->Reset(nullptr); }
};

TEST(SharedPtr, DeletesExactlyOnceThroughResetsCopiesAndSelfAssignment)
{
    gAlive = 0;
    {
        base::SharedPtr<Tracked> a(new Tracked);
        a.Reset(a.Get()); // the held pointer again: kept, not freed
        EXPECT_EQ(a.GetCount(), 1);
        base::SharedPtr<Tracked> b(new Tracked);
        b = a;
        base::SharedPtr<Tracked>& self = b;
        b = self;
        EXPECT_EQ(gAlive, 1);
        EXPECT_EQ(a.GetCount(), 2);
        a.Reset(nullptr);
        EXPECT_EQ(b.GetCount(), 1);

        auto* object = new SelfResetting;
        object->mOwner = &a;
        a.Reset(object);
        a.Reset(new Tracked);
        EXPECT_EQ(gAlive, 2);
        EXPECT_TRUE(a) << "the new object is taken after the old one's destructor ran";
    }
    EXPECT_EQ(gAlive, 0);
}

} // namespace
