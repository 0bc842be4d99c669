// Arrays that grow and shrink in steps of 16 elements, with bounds checks.
// XGSDynArray<T> holds plain records, XGPDynArray<T> pointers it does not own,
// XGDynArray<T> elements that are objects of their own (arrays of arrays).
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "framework/XGError.h"

class XGArray {
public:
    static constexpr int32_t kStep = 16;

    virtual ~XGArray() = default;

    int32_t GetLength() const { return fLength; }
    int32_t GetCapacity() const { return fAlloc; }
    void SetLength(int32_t n);
    void RemoveAll() { SetLength(0); }
    bool IsEmpty() const { return fLength == 0; }

protected:
    static int32_t RoundUp(int32_t n) { return (n + kStep - 1) / kStep * kStep; }
    void AdjustCapacity(int32_t count);

    // Slots of the concrete array.
    virtual void Reallocate(int32_t capacity, int32_t keep) = 0;
    virtual void Resize(int32_t oldLength, int32_t newLength) = 0;

    int32_t fLength = 0;
    int32_t fAlloc = 0;
};

template <class T>
class XGTArray : public XGArray {
public:
    XGTArray() = default;
    XGTArray(const XGTArray& other) { *this = other; }
    XGTArray& operator=(const XGTArray& other)
    {
        if (this == &other) return *this;
        RemoveAll();
        if (fAlloc != other.fAlloc) Reallocate(other.fAlloc, 0);
        for (int32_t i = 0; i < other.fLength; ++i) new (fData + i) T(other.fData[i]);
        fLength = other.fLength;
        return *this;
    }
    XGTArray(XGTArray&& other) noexcept { Swap(other); }
    XGTArray& operator=(XGTArray&& other) noexcept
    {
        Swap(other);
        return *this;
    }
    ~XGTArray() override
    {
        DestroyRange(0, fLength);
        std::allocator<T>().deallocate(fData, size_t(fAlloc));
    }

    void Insert(int32_t index, T value)
    {
        XG_ASSERT((index >= 0) && (index <= fLength), "XGArray");
        AdjustCapacity(fLength + 1);
        if (index == fLength) {
            new (fData + fLength) T(std::move(value));
        } else {
            new (fData + fLength) T(std::move(fData[fLength - 1]));
            for (int32_t i = fLength - 1; i > index; --i) fData[i] = std::move(fData[i - 1]);
            fData[index] = std::move(value);
        }
        ++fLength;
    }
    void Append(T value) { Insert(fLength, std::move(value)); }

    void Remove(int32_t index)
    {
        XG_ASSERT((index >= 0) && (index < fLength), "XGArray");
        for (int32_t i = index; i + 1 < fLength; ++i) fData[i] = std::move(fData[i + 1]);
        DestroyRange(fLength - 1, fLength);
        --fLength;
        AdjustCapacity(fLength);
    }

    T& Get(int32_t index)
    {
        XG_ASSERT((index >= 0) && (index < fLength), "XGArray");
        return fData[index];
    }
    const T& Get(int32_t index) const
    {
        XG_ASSERT((index >= 0) && (index < fLength), "XGArray");
        return fData[index];
    }
    void Set(int32_t index, T value) { Get(index) = std::move(value); }
    T& operator[](int32_t index) { return Get(index); }
    const T& operator[](int32_t index) const { return Get(index); }

    T* begin() { return fData; }
    T* end() { return fData + fLength; }
    const T* begin() const { return fData; }
    const T* end() const { return fData + fLength; }
    T* Data() { return fData; }
    const T* Data() const { return fData; }

protected:
    void Reallocate(int32_t capacity, int32_t keep) override
    {
        T* block = capacity ? std::allocator<T>().allocate(size_t(capacity)) : nullptr;
        for (int32_t i = 0; i < keep; ++i) new (block + i) T(std::move(fData[i]));
        DestroyRange(0, fLength);
        std::allocator<T>().deallocate(fData, size_t(fAlloc));
        fData = block;
        fAlloc = capacity;
        if (fLength > keep) fLength = keep;
    }
    void Resize(int32_t oldLength, int32_t newLength) override
    {
        for (int32_t i = oldLength; i < newLength; ++i) new (fData + i) T();
        DestroyRange(newLength, oldLength);
    }

private:
    void DestroyRange(int32_t from, int32_t to)
    {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (int32_t i = from; i < to; ++i) fData[i].~T();
    }
    void Swap(XGTArray& other) noexcept
    {
        std::swap(fData, other.fData);
        std::swap(fLength, other.fLength);
        std::swap(fAlloc, other.fAlloc);
    }

    T* fData = nullptr;
};

template <class T>
class XGSDynArray : public XGTArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "XGSDynArray holds plain records");
};

template <class T>
class XGPDynArray : public XGTArray<T*> {
};

template <class T>
class XGDynArray : public XGTArray<T> {
};
