#pragma once

// Callbacks: a member function bound to an object, or a free function, behind
// one interface per argument count.
//
//   base::SharedPtr<base::Delegate1<widget::Button*, BWResultEnum>> onClick;
//   onClick.Reset(new base::MemberDelegate1<IngameDialog, widget::Button*, BWResultEnum>(
//       this, &IngameDialog::OnButton));
//   onClick->Invoke(button);

#include <cstdint>
#include <cstring>

namespace base
{

// An identity for a member function: the same method gives the same value.
// Member-function pointers are not code addresses (virtual functions, this
// adjustments), so the value is folded from the pointer's bytes.
template <class M>
const void* MethodIdentity(M method)
{
    static_assert(sizeof(M) % sizeof(uintptr_t) == 0, "unexpected member-function pointer size");
    uintptr_t words[sizeof(M) / sizeof(uintptr_t)];
    std::memcpy(words, &method, sizeof(M));
    uintptr_t id = words[0];
    for (size_t i = 1; i < sizeof(M) / sizeof(uintptr_t); ++i)
        id ^= words[i] * static_cast<uintptr_t>(0x9E3779B97F4A7C15ull);
    return reinterpret_cast<const void*>(id);
}

template <class R = void>
class Delegate0
{
public:
    // The bound object, or the function of a static delegate.
    virtual void* GetTarget() const = 0;
    // The bound method's identity; null for static delegates.
    virtual const void* GetMethod() const = 0;
    virtual ~Delegate0() = default;
    virtual R Invoke() = 0;
};

template <class A, class R = void>
class Delegate1
{
public:
    virtual void* GetTarget() const = 0;
    virtual const void* GetMethod() const = 0;
    virtual ~Delegate1() = default;
    virtual R Invoke(A a) = 0;
};

template <class A, class B, class R = void>
class Delegate2
{
public:
    virtual void* GetTarget() const = 0;
    virtual const void* GetMethod() const = 0;
    virtual ~Delegate2() = default;
    virtual R Invoke(A a, B b) = 0;
};

template <class T, class R = void>
class MemberDelegate0 : public Delegate0<R>
{
public:
    typedef R (T::*Method)();
    MemberDelegate0(T* object, Method method) : mObject(object), mMethod(method) {}
    void* GetTarget() const override { return mObject; }
    const void* GetMethod() const override { return MethodIdentity(mMethod); }
    R Invoke() override { return (mObject->*mMethod)(); }

private:
    T* mObject;
    Method mMethod;
};

template <class T, class A, class R = void>
class MemberDelegate1 : public Delegate1<A, R>
{
public:
    typedef R (T::*Method)(A);
    MemberDelegate1(T* object, Method method) : mObject(object), mMethod(method) {}
    void* GetTarget() const override { return mObject; }
    const void* GetMethod() const override { return MethodIdentity(mMethod); }
    R Invoke(A a) override { return (mObject->*mMethod)(static_cast<A>(a)); }

private:
    T* mObject;
    Method mMethod;
};

template <class T, class A, class B, class R = void>
class MemberDelegate2 : public Delegate2<A, B, R>
{
public:
    typedef R (T::*Method)(A, B);
    MemberDelegate2(T* object, Method method) : mObject(object), mMethod(method) {}
    void* GetTarget() const override { return mObject; }
    const void* GetMethod() const override { return MethodIdentity(mMethod); }
    R Invoke(A a, B b) override { return (mObject->*mMethod)(static_cast<A>(a), static_cast<B>(b)); }

private:
    T* mObject;
    Method mMethod;
};

template <class A, class R = void>
class StaticDelegate1 : public Delegate1<A, R>
{
public:
    typedef R (*Function)(A);
    explicit StaticDelegate1(Function function) : mFunction(function) {}
    void* GetTarget() const override { return reinterpret_cast<void*>(mFunction); }
    const void* GetMethod() const override { return nullptr; }
    R Invoke(A a) override { return mFunction(static_cast<A>(a)); }

private:
    Function mFunction;
};

template <class A, class B, class R = void>
class StaticDelegate2 : public Delegate2<A, B, R>
{
public:
    typedef R (*Function)(A, B);
    explicit StaticDelegate2(Function function) : mFunction(function) {}
    void* GetTarget() const override { return reinterpret_cast<void*>(mFunction); }
    const void* GetMethod() const override { return nullptr; }
    R Invoke(A a, B b) override { return mFunction(static_cast<A>(a), static_cast<B>(b)); }

private:
    Function mFunction;
};

} // namespace base
