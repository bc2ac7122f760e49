#pragma once

// A growing array whose first N records live inside the object, so that a
// local one costs no heap memory until it holds more than N; the rest go to a
// heap array that is freed with the object. For per-call scratch records of
// plain types.

#include <cstdint>
#include <type_traits>
#include <vector>

namespace render
{

template <class T, uint32_t N>
class StackArray
{
    static_assert(std::is_trivially_copyable<T>::value, "StackArray holds plain records");

public:
    StackArray() = default;
    StackArray(const StackArray&) = delete;
    StackArray& operator=(const StackArray&) = delete;

    void PushBack(const T& value)
    {
        if (mCount < N)
            mLocal[mCount] = value;
        else
            mHeap.push_back(value);
        ++mCount;
    }

    void Clear()
    {
        mCount = 0;
        mHeap.clear();
    }

    uint32_t Size() const { return mCount; }
    bool Empty() const { return mCount == 0; }
    static constexpr uint32_t LocalCapacity() { return N; }

    T& operator[](uint32_t i) { return i < N ? mLocal[i] : mHeap[i - N]; }
    const T& operator[](uint32_t i) const { return i < N ? mLocal[i] : mHeap[i - N]; }
    T& Back() { return (*this)[mCount - 1]; }

private:
    T mLocal[N];
    uint32_t mCount = 0;
    std::vector<T> mHeap;
};

} // namespace render
