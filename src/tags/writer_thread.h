// A thread that writes buffers to files in the order they are handed over. Files written
// side by side share one, so that they do not take more threads than there are processors.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class XGFile;

class TWriterThread {
public:
    // One file's buffer in the thread's hands, at most; read and written under the thread's lock.
    struct slot {
        explicit slot(XGFile& f) : file(f) {}
        XGFile& file;
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        std::exception_ptr failure;
    };

    TWriterThread();
    // Every slot must be settled or forgotten by then.
    ~TWriterThread();
    TWriterThread(const TWriterThread&) = delete;
    TWriterThread& operator=(const TWriterThread&) = delete;

    // Whether the thread runs: without it nothing can be handed over.
    bool Running() const { return fThread.joinable(); }
    // After the slot's previous buffer was written; throws how that failed.
    void Hand(slot& s, const uint8_t* data, uint32_t size);
    // Until the slot's buffer is written; throws how that failed, once.
    void Settle(slot& s);
    // Until the slot's buffer is written, failed or not.
    void Forget(slot& s);

private:
    void Wait(slot& s, std::unique_lock<std::mutex>& lock);
    void Run();

    std::mutex fMutex;
    std::condition_variable fChanged;
    std::deque<slot*> fQueue;
    bool fStop = false;
    std::thread fThread;
};
