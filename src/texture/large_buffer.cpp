#include "texture/large_buffer.h"

#include <new>
#include <sys/mman.h>
#include <utility>

#include "framework/XGError.h"

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

} // namespace

TLargeBuffer::~TLargeBuffer()
{
    Release();
}

TLargeBuffer::TLargeBuffer(TLargeBuffer&& other) noexcept
    : fData(std::exchange(other.fData, nullptr)), fCapacity(std::exchange(other.fCapacity, 0)),
      fMapping(std::exchange(other.fMapping, nullptr)), fMapped(std::exchange(other.fMapped, 0))
{
}

TLargeBuffer& TLargeBuffer::operator=(TLargeBuffer&& other) noexcept
{
    if (this != &other) {
        Release();
        fData = std::exchange(other.fData, nullptr);
        fCapacity = std::exchange(other.fCapacity, 0);
        fMapping = std::exchange(other.fMapping, nullptr);
        fMapped = std::exchange(other.fMapped, 0);
    }
    return *this;
}

void TLargeBuffer::Release()
{
    if (fMapping) ::munmap(fMapping, fMapped);
    else delete[] fData;
    fData = nullptr;
    fMapping = nullptr;
    fCapacity = fMapped = 0;
}

void TLargeBuffer::reserve(size_t size)
{
    if (size <= fCapacity) return;
    Release();
    if (size < kHugePage) {
        fData = new (std::nothrow) uint8_t[size];
        if (!fData) throw XGPostError(kXGOutOfMemory);
        fCapacity = size;
        return;
    }
    // Mapped with a huge page of slack, so that the buffer can start on a huge page.
    const size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* mapping = ::mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) throw XGPostError(kXGOutOfMemory);
    const uintptr_t start = (uintptr_t(mapping) + kHugePage - 1) / kHugePage * kHugePage;
    ::madvise(reinterpret_cast<void*>(start), rounded, MADV_HUGEPAGE); // a hint: fine when refused
    fMapping = mapping;
    fMapped = rounded + kHugePage;
    fData = reinterpret_cast<uint8_t*>(start);
    fCapacity = size;
}
