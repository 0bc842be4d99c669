// Bytes for whole images and files: left uninitialized, and in huge pages where the system
// offers them, so that filling a buffer of a hundred megabytes costs few page faults.
#pragma once

#include <cstddef>
#include <cstdint>

class TLargeBuffer {
public:
    TLargeBuffer() = default;
    explicit TLargeBuffer(size_t size) { reserve(size); }
    ~TLargeBuffer();
    TLargeBuffer(TLargeBuffer&& other) noexcept;
    TLargeBuffer& operator=(TLargeBuffer&& other) noexcept;
    TLargeBuffer(const TLargeBuffer&) = delete;
    TLargeBuffer& operator=(const TLargeBuffer&) = delete;

    uint8_t* data() const { return fData; }
    size_t capacity() const { return fCapacity; }
    // Room for size bytes; what the buffer held is not kept when it grows. Raises the
    // framework's out of memory error.
    void reserve(size_t size);

private:
    void Release();

    uint8_t* fData = nullptr;
    size_t fCapacity = 0;
    void* fMapping = nullptr; // what was mapped for a large buffer, none for a small one
    size_t fMapped = 0;
};
