#include "tags/writer_thread.h"

#include <system_error>
#include <utility>

#include "framework/XGFile.h"

TWriterThread::TWriterThread()
{
    try {
        fThread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // not running: the files are written in place
    }
}

TWriterThread::~TWriterThread()
{
    if (!fThread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fStop = true;
    }
    fChanged.notify_all();
    fThread.join();
}

void TWriterThread::Hand(slot& s, const uint8_t* data, uint32_t size)
{
    std::unique_lock<std::mutex> lock(fMutex);
    Wait(s, lock);
    s.data = data;
    s.size = size;
    fQueue.push_back(&s);
    lock.unlock();
    fChanged.notify_all();
}

void TWriterThread::Settle(slot& s)
{
    std::unique_lock<std::mutex> lock(fMutex);
    Wait(s, lock);
}

void TWriterThread::Forget(slot& s)
{
    std::unique_lock<std::mutex> lock(fMutex);
    fChanged.wait(lock, [&s] { return s.data == nullptr; });
}

void TWriterThread::Wait(slot& s, std::unique_lock<std::mutex>& lock)
{
    fChanged.wait(lock, [&s] { return s.data == nullptr; });
    if (s.failure) std::rethrow_exception(std::exchange(s.failure, nullptr));
}

void TWriterThread::Run()
{
    std::unique_lock<std::mutex> lock(fMutex);
    for (;;) {
        fChanged.wait(lock, [this] { return !fQueue.empty() || fStop; });
        if (fQueue.empty()) return;
        slot* s = fQueue.front();
        fQueue.pop_front();
        lock.unlock();
        // a slot's earlier failure was thrown before this buffer was handed over
        std::exception_ptr failure;
        try {
            s->file.Write(s->data, s->size);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) s->failure = failure;
        s->data = nullptr;
        fChanged.notify_all();
    }
}
