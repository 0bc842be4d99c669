#include "framework/XGFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/XGError.h"

XGFile::~XGFile()
{
    if (fRefNum >= 0) ::close(fRefNum);
}

XGFile::XGFile(XGFile&& other) noexcept
    : fName(std::move(other.fName)), fRefNum(other.fRefNum), fRWFlag(other.fRWFlag)
{
    other.fRefNum = -1;
}

XGFile& XGFile::operator=(XGFile&& other) noexcept
{
    if (this != &other) {
        if (fRefNum >= 0) ::close(fRefNum);
        fName = std::move(other.fName);
        fRefNum = other.fRefNum;
        fRWFlag = other.fRWFlag;
        other.fRefNum = -1;
    }
    return *this;
}

bool XGFile::TryOpen(Mode mode)
{
    XG_ASSERT(!IsOpen(), "XGFile");
    // a folder opens for reading but every read of it fails
    int fd = ::open(fName.c_str(), (mode == kReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return false;
    fRefNum = fd;
    fRWFlag = mode == kReadWrite;
    return true;
}

void XGFile::Open(Mode mode)
{
    if (!TryOpen(mode)) throw XGPostWinOSError(kXGFileOpenError, errno, {fName});
}

void XGFile::Create()
{
    XG_ASSERT(!IsOpen(), "XGFile");
    int fd = ::open(fName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw XGPostWinOSError(kXGFileCreateError, errno, {fName});
    fRefNum = fd;
    fRWFlag = true;
}

bool XGFile::CreateNew()
{
    XG_ASSERT(!IsOpen(), "XGFile");
    int fd = ::open(fName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    fRefNum = fd;
    fRWFlag = true;
    return true;
}

void XGFile::Close()
{
    if (fRefNum < 0) return;
    int result = ::close(fRefNum);
    fRefNum = -1;
    if (result != 0) throw XGPostWinOSError(kXGFileWriteError, errno, {fName});
}

void XGFile::Read(void* buffer, size_t count)
{
    XG_ASSERT(IsOpen(), "XGFile");
    uint8_t* p = (uint8_t*)buffer;
    while (count) {
        ssize_t n = ::read(fRefNum, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XGPostWinOSError(kXGFileReadError, errno, {fName});
        if (n == 0) throw XGPostError(kXGFileReadError, {fName});
        p += n;
        count -= size_t(n);
    }
}

size_t XGFile::ReadSome(uint64_t offset, void* buffer, size_t count)
{
    XG_ASSERT(IsOpen(), "XGFile");
    uint8_t* p = (uint8_t*)buffer;
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fRefNum, p + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XGPostWinOSError(kXGFileReadError, errno, {fName});
        if (n == 0) break;
        done += size_t(n);
    }
    return done;
}

void XGFile::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (ReadSome(offset, buffer, count) != count) throw XGPostError(kXGFileReadError, {fName});
}

void XGFile::Write(const void* buffer, size_t count)
{
    XG_ASSERT(IsOpen(), "XGFile");
    XG_ASSERT(fRWFlag, "XGFile");
    const uint8_t* p = (const uint8_t*)buffer;
    while (count) {
        ssize_t n = ::write(fRefNum, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XGPostWinOSError(kXGFileWriteError, errno, {fName});
        if (n == 0) throw XGPostWinOSError(kXGFileWriteError, ENOSPC, {fName});
        p += n;
        count -= size_t(n);
    }
}

void XGFile::WriteAt(uint64_t offset, const void* buffer, size_t count)
{
    XG_ASSERT(IsOpen(), "XGFile");
    XG_ASSERT(fRWFlag, "XGFile");
    const uint8_t* p = (const uint8_t*)buffer;
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pwrite(fRefNum, p + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XGPostWinOSError(kXGFileWriteError, errno, {fName});
        if (n == 0) throw XGPostWinOSError(kXGFileWriteError, ENOSPC, {fName});
        done += size_t(n);
    }
}

uint64_t XGFile::GetLength() const
{
    XG_ASSERT(IsOpen(), "XGFile");
    struct stat st;
    int result = ::fstat(fRefNum, &st);
    XG_ASSERT(result == 0, "XGFile");
    return uint64_t(st.st_size);
}

uint64_t XGFile::GetPosition() const
{
    XG_ASSERT(IsOpen(), "XGFile");
    off_t pos = ::lseek(fRefNum, 0, SEEK_CUR);
    if (pos < 0) throw XGPostError(kXGSetFilePositionError, {fName});
    return uint64_t(pos);
}

void XGFile::SetPosition(uint64_t position)
{
    XG_ASSERT(IsOpen(), "XGFile");
    if (::lseek(fRefNum, off_t(position), SEEK_SET) < 0) throw XGPostError(kXGSetFilePositionError, {fName});
}

void XGFile::SetLength(uint64_t length)
{
    XG_ASSERT(IsOpen(), "XGFile");
    XG_ASSERT(fRWFlag, "XGFile");
    if (::ftruncate(fRefNum, off_t(length)) != 0) throw XGPostWinOSError(kXGSetEndOfFileError, errno, {fName});
}

void XGFile::Flush()
{
    XG_ASSERT(IsOpen(), "XGFile");
    if (::fsync(fRefNum) != 0) throw XGPostWinOSError(kXGFileWriteError, errno, {fName});
}

namespace {

XGFileStamp StampFrom(const struct stat& st)
{
    XGFileStamp s;
    s.exists = true;
    s.device = uint64_t(st.st_dev);
    s.inode = uint64_t(st.st_ino);
    s.size = uint64_t(st.st_size);
    s.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

} // namespace

XGFileStamp XGFile::GetStamp() const
{
    XG_ASSERT(IsOpen(), "XGFile");
    struct stat st;
    int result = ::fstat(fRefNum, &st);
    XG_ASSERT(result == 0, "XGFile");
    return StampFrom(st);
}

XGFileStamp XGFile::StampOf(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return StampFrom(st);
}

bool XGFile::Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool XGFile::IsDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void XGFile::RaiseOpenFileLimit()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}
