#include "Core/Base/Delegate.h"
#include "Core/Base/SharedPtr.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct Base1
{
    virtual ~Base1() = default;
    int mPad = 1;
};

struct Counter : Base1
{
    virtual int Add(int n) { return mTotal += n; }
    int Twice(int a, int b) { return mTotal += 2 * (a + b); }
    void Tick() { ++mTicks; }
    int mTotal = 0;
    int mTicks = 0;
};

struct Special : Counter
{
    int Add(int n) override { return mTotal += 100 * n; }
};

int Square(int x)
{
    return x * x;
}

std::string Join(const std::string& a, int b)
{
    return a + std::to_string(b);
}

TEST(Delegate, MemberDelegatesCallTheBoundObject)
{
    Counter counter;
    base::MemberDelegate0<Counter> tick(&counter, &Counter::Tick);
    base::MemberDelegate1<Counter, int, int> add(&counter, &Counter::Add);
    base::MemberDelegate2<Counter, int, int, int> twice(&counter, &Counter::Twice);
    tick.Invoke();
    EXPECT_EQ(add.Invoke(5), 5);
    EXPECT_EQ(twice.Invoke(1, 2), 11);
    EXPECT_EQ(counter.mTicks, 1);
    EXPECT_EQ(add.GetTarget(), &counter);
    EXPECT_NE(add.GetMethod(), nullptr);
}

TEST(Delegate, VirtualMethodDispatchesAndIdentifiesTheSameMethod)
{
    Special special;
    base::MemberDelegate1<Counter, int, int> add(&special, &Counter::Add);
    EXPECT_EQ(add.Invoke(2), 200);
    base::MemberDelegate1<Counter, int, int> again(&special, &Counter::Add);
    EXPECT_EQ(add.GetMethod(), again.GetMethod());
    base::MemberDelegate2<Counter, int, int, int> twice(&special, &Counter::Twice);
    EXPECT_NE(static_cast<const void*>(twice.GetMethod()), add.GetMethod());
}

TEST(Delegate, StaticDelegatesAnswerTheirFunctionAndNoMethod)
{
    base::StaticDelegate1<int, int> square(&Square);
    EXPECT_EQ(square.Invoke(7), 49);
    EXPECT_EQ(square.GetMethod(), nullptr);
    EXPECT_EQ(square.GetTarget(), reinterpret_cast<void*>(&Square));
    base::StaticDelegate2<const std::string&, int, std::string> join(&Join);
    EXPECT_EQ(join.Invoke("n", 3), "n3");
    EXPECT_EQ(join.GetMethod(), nullptr);
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

TEST(SharedPtr, ResettingAnEmptyPointerToNullFreesNothing)
{
    base::SharedPtr<Tracked> p;
    p.Reset(nullptr);
    EXPECT_FALSE(p);
    EXPECT_EQ(p.GetCount(), 0);
}

TEST(SharedPtr, LastOfTwoHoldersDeletesExactlyOnce)
{
    gAlive = 0;
    base::SharedPtr<Tracked> a(new Tracked);
    base::SharedPtr<Tracked> b(a);
    EXPECT_EQ(a.GetCount(), 2);
    a.Reset(nullptr);
    EXPECT_EQ(gAlive, 1);
    EXPECT_EQ(b.GetCount(), 1);
    b.Reset(nullptr);
    EXPECT_EQ(gAlive, 0);
}

TEST(SharedPtr, ResettingToTheHeldPointerKeepsItAlive)
{
    gAlive = 0;
    base::SharedPtr<Tracked> p(new Tracked);
    Tracked* raw = p.Get();
    p.Reset(raw);
    EXPECT_EQ(gAlive, 1);
    EXPECT_EQ(p.Get(), raw);
    EXPECT_EQ(p.GetCount(), 1);
    p->Invoke();
    p.Reset(nullptr);
    EXPECT_EQ(gAlive, 0);
}

TEST(SharedPtr, AssignmentSharesAndSurvivesSelfAssignment)
{
    gAlive = 0;
    {
        base::SharedPtr<Tracked> a(new Tracked);
        base::SharedPtr<Tracked> b(new Tracked);
        EXPECT_EQ(gAlive, 2);
        b = a;
        EXPECT_EQ(gAlive, 1);
        EXPECT_EQ(a.GetCount(), 2);
        base::SharedPtr<Tracked>& self = b;
        b = self;
        EXPECT_EQ(a.GetCount(), 2);
        a.Reset(new Tracked);
        EXPECT_EQ(gAlive, 2);
    }
    EXPECT_EQ(gAlive, 0);
}

} // namespace
