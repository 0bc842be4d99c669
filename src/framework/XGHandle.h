// A relocatable block of memory with a lock count. It must be unlocked when
// resized or released, and hold data when locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class XGHandle {
public:
    explicit XGHandle(size_t size = 0);
    ~XGHandle();
    XGHandle(const XGHandle&) = delete;
    XGHandle& operator=(const XGHandle&) = delete;

    size_t GetSize() const { return fSize; }
    void SetSize(size_t size);
    void* Lock();
    void Unlock();
    int32_t GetLockCount() const { return fLock; }

private:
    std::unique_ptr<uint8_t[]> fData;
    size_t fSize = 0;
    int32_t fLock = 0;
};
