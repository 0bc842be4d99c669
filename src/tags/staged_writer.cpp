#include "tags/staged_writer.h"

#include <cstring>
#include <new>
#include <system_error>
#include <utility>

#include "framework/XGFile.h"
#include "tags/tag_file_format.h"

TStagedWriter::TStagedWriter(XGFile& out, uint32_t crc, uint32_t capacity, bool thread)
    : fOut(out), fCapacity(capacity), fCrc(crc)
{
    if (!capacity) return;
    fBuffers[0].reset(new (std::nothrow) uint8_t[capacity]);
    if (!thread || !fBuffers[0]) return;
    fBuffers[1].reset(new (std::nothrow) uint8_t[capacity]);
    if (!fBuffers[1]) return;
    try {
        fThread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        fBuffers[1].reset(); // written from this thread then
    }
}

TStagedWriter::~TStagedWriter()
{
    if (!fThread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fStop = true;
    }
    fChanged.notify_all();
    fThread.join(); // after the buffer in hand was written: the file stays open until then
}

bool TStagedWriter::Ready() const
{
    return fBuffers[0] != nullptr;
}

uint8_t* TStagedWriter::Space(uint32_t& room)
{
    if (fUsed == fCapacity) Hand();
    room = fCapacity - fUsed;
    return fBuffers[fFilling].get() + fUsed;
}

void TStagedWriter::Commit(uint32_t n)
{
    fCrc = tag_checksum(fCrc, fBuffers[fFilling].get() + fUsed, n);
    fUsed += n;
}

void TStagedWriter::Append(const uint8_t* data, uint32_t n)
{
    if (n > fCapacity - fUsed) Hand();
    if (n >= fCapacity) {
        Flush();
        fOut.Write(data, n);
        fCrc = tag_checksum(fCrc, data, n);
        return;
    }
    fCrc = tag_checksum(fCrc, data, n);
    std::memcpy(fBuffers[fFilling].get() + fUsed, data, n);
    fUsed += n;
}

void TStagedWriter::Flush()
{
    if (fUsed) Hand();
    if (!fThread.joinable()) return;
    std::unique_lock<std::mutex> lock(fMutex);
    Wait(lock);
}

// The filled buffer goes to the file; the other one fills next, once it is written.
void TStagedWriter::Hand()
{
    if (!fUsed) return;
    if (!fThread.joinable()) {
        fOut.Write(fBuffers[0].get(), fUsed);
        fUsed = 0;
        return;
    }
    std::unique_lock<std::mutex> lock(fMutex);
    Wait(lock);
    fJob = fBuffers[fFilling].get();
    fJobSize = fUsed;
    lock.unlock();
    fChanged.notify_all();
    fFilling ^= 1;
    fUsed = 0;
}

// Until the thread is idle; its failure is thrown here, once.
void TStagedWriter::Wait(std::unique_lock<std::mutex>& lock)
{
    fChanged.wait(lock, [this] { return fJob == nullptr; });
    if (fFailure) std::rethrow_exception(std::exchange(fFailure, nullptr));
}

void TStagedWriter::Run()
{
    std::unique_lock<std::mutex> lock(fMutex);
    for (;;) {
        fChanged.wait(lock, [this] { return fJob != nullptr || fStop; });
        if (!fJob) return;
        const uint8_t* data = fJob;
        const uint32_t n = fJobSize;
        const bool failed = fFailure != nullptr;
        lock.unlock();
        std::exception_ptr failure;
        // after a failure nothing more goes to the file
        if (!failed) {
            try {
                fOut.Write(data, n);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        lock.lock();
        if (failure) fFailure = failure;
        fJob = nullptr;
        fChanged.notify_all();
    }
}
