// Writes a file's data through a buffer, feeding the data checksum with every byte as it
// comes. Given a writer thread, one buffer goes to the file there while the next fills.
#pragma once

#include <cstdint>
#include <memory>

#include "tags/writer_thread.h"

class XGFile;

class TStagedWriter {
public:
    // capacity: the buffer's size (a second one with a running thread).
    TStagedWriter(XGFile& out, uint32_t crc, uint32_t capacity, TWriterThread* thread);
    ~TStagedWriter();
    TStagedWriter(const TStagedWriter&) = delete;
    TStagedWriter& operator=(const TStagedWriter&) = delete;

    bool Ready() const;
    // Free space, at least one byte; Commit says how much of it was filled.
    uint8_t* Space(uint32_t& room);
    void Commit(uint32_t n);
    void Append(const uint8_t* data, uint32_t n);
    // Everything is in the file; throws the first failure.
    void Flush();
    uint32_t Checksum() const { return fCrc; }

private:
    void Hand();

    std::unique_ptr<uint8_t[]> fBuffers[2];
    TWriterThread* fThread = nullptr;
    TWriterThread::slot fSlot; // the file, with the buffer in the thread's hands
    int fFilling = 0;
    uint32_t fCapacity;
    uint32_t fUsed = 0;
    uint32_t fCrc;
};
