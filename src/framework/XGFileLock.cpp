#include "framework/XGFileLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "framework/XGError.h"
#include "framework/XGFileSpecifier.h"

namespace {

struct held_lock {
    int fd = -1;
    int count = 0;
};

// Never destroyed: locks kept to the end of the program are released after it at exit.
std::map<std::string, held_lock>& Held()
{
    static auto* held = new std::map<std::string, held_lock>;
    return *held;
}

int gWait = -1;

void Unlock(int fd)
{
    if (fd < 0) return;
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

bool LockDescriptor(int fd, std::chrono::steady_clock::time_point deadline)
{
    if (gWait < 0) {
        int result;
        while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        return result == 0;
    }
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A descriptor holding the lock of path: on the file, or on its folder while there is no
// file. -1 when neither can be opened.
int LockPath(const std::string& path)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(gWait < 0 ? 0 : gWait);
    for (;;) {
        bool folder = false;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno != ENOENT) return -1;
            fd = ::open(XGFileSpecifier(path).GetFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) return -1;
            folder = true;
        }
        if (!LockDescriptor(fd, deadline)) {
            ::close(fd);
            throw XGPostError(kXGFileWriteError, {path + " - Another program is writing the file; try again later."});
        }
        // a writer that held the lock may have replaced the file meanwhile
        XGFileStamp now = XGFile::StampOf(path);
        if (folder && !now.exists) return fd;
        if (!folder && now.exists) {
            struct stat st;
            if (::fstat(fd, &st) == 0 && uint64_t(st.st_dev) == now.device && uint64_t(st.st_ino) == now.inode)
                return fd;
        }
        Unlock(fd);
    }
}

} // namespace

XGFileLock::XGFileLock(const std::string& path)
{
    std::string key = XGNormalPath(path);
    auto& held = Held();
    auto found = held.find(key);
    if (found != held.end()) {
        ++found->second.count;
        fKey = key;
        return;
    }
    int fd = LockPath(path);
    if (fd < 0) return;
    held[key] = {fd, 1};
    fKey = key;
}

XGFileLock::~XGFileLock()
{
    if (fKey.empty()) return;
    auto& held = Held();
    auto found = held.find(fKey);
    if (found == held.end() || --found->second.count > 0) return;
    Unlock(found->second.fd);
    held.erase(found);
}

XGFileLock::XGFileLock(XGFileLock&& other) noexcept : fKey(std::move(other.fKey))
{
    other.fKey.clear();
}

XGFileLock& XGFileLock::operator=(XGFileLock&& other) noexcept
{
    if (this != &other) {
        XGFileLock old(std::move(*this));
        fKey = std::move(other.fKey);
        other.fKey.clear();
    }
    return *this;
}

bool XGFileLock::IsHeld() const
{
    return !fKey.empty();
}

bool XGFileLock::PrepareHandOver(const XGFile& replacement) const
{
    return IsHeld() && replacement.IsOpen() && ::flock(replacement.GetDescriptor(), LOCK_EX | LOCK_NB) == 0;
}

void XGFileLock::HandOver(const XGFile& replacement)
{
    auto found = Held().find(fKey);
    if (found == Held().end()) return;
    Unlock(found->second.fd);
    // the same open file as the replacement, so its lock; replacement itself may close first
    found->second.fd = ::fcntl(replacement.GetDescriptor(), F_DUPFD_CLOEXEC, 0);
    if (found->second.fd < 0) ::flock(replacement.GetDescriptor(), LOCK_UN);
}

void XGFileLock::SetWait(int milliseconds)
{
    gWait = milliseconds;
}

void XGFileLock::Keep(const std::string& path)
{
    static std::vector<std::unique_ptr<XGFileLock>> kept;
    kept.push_back(std::make_unique<XGFileLock>(path));
}
