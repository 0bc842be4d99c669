// Writes a file's data through a buffer, feeding the data checksum with every byte as it
// comes. With a writer thread, one buffer goes to the file while the next fills.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

class XGFile;

class TStagedWriter {
public:
    // capacity: the buffer's size (a second one with the thread).
    TStagedWriter(XGFile& out, uint32_t crc, uint32_t capacity, bool thread);
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
    void Wait(std::unique_lock<std::mutex>& lock);
    void Run();

    XGFile& fOut;
    std::unique_ptr<uint8_t[]> fBuffers[2];
    int fFilling = 0;
    uint32_t fCapacity;
    uint32_t fUsed = 0;
    uint32_t fCrc;

    // the writer thread's work: one buffer at a time
    std::thread fThread;
    std::mutex fMutex;
    std::condition_variable fChanged;
    const uint8_t* fJob = nullptr;
    uint32_t fJobSize = 0;
    bool fStop = false;
    std::exception_ptr fFailure;
};
