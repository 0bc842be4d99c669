#include "framework/XGHandle.h"

#include <cstring>

#include "framework/XGError.h"

XGHandle::XGHandle(size_t size)
{
    SetSize(size);
}

XGHandle::~XGHandle() = default;

void XGHandle::SetSize(size_t size)
{
    XG_ASSERT(fLock == 0, "XGHandle");
    if (size == fSize) return;
    std::unique_ptr<uint8_t[]> block;
    if (size) {
        block.reset(new (std::nothrow) uint8_t[size]);
        if (!block) throw XGPostError(kXGOutOfMemory);
        size_t keep = size < fSize ? size : fSize;
        if (keep) std::memcpy(block.get(), fData.get(), keep);
        if (size > keep) std::memset(block.get() + keep, 0, size - keep);
    }
    fData = std::move(block);
    fSize = size;
}

void* XGHandle::Lock()
{
    XG_ASSERT(fData, "XGHandle");
    ++fLock;
    return fData.get();
}

void XGHandle::Unlock()
{
    XG_ASSERT(fLock > 0, "XGHandle");
    --fLock;
}
