#include "framework/XGSaveFile.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/XGError.h"
#include "framework/XGFileSpecifier.h"

namespace {

constexpr char kMarker[] = ".save-";
constexpr size_t kMarkerLength = sizeof kMarker - 1;
constexpr size_t kSuffixLength = 6;
// Leaves room for the dot, the marker and the suffix within a file name's 255 bytes.
constexpr size_t kLongestKeptName = 255 - 1 - kMarkerLength - kSuffixLength;

bool IsSuffixCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// ".NAME.save-" for the destination's file name.
std::string PrefixFor(const std::string& name)
{
    return "." + name.substr(0, kLongestKeptName) + kMarker;
}

bool HasSuffix(const std::string& name, size_t at)
{
    if (name.size() != at + kSuffixLength) return false;
    for (size_t i = at; i < name.size(); ++i)
        if (!IsSuffixCharacter(name[i])) return false;
    return true;
}

std::string RandomSuffix()
{
    static const char letters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static std::mt19937 random(std::random_device{}() ^ unsigned(::getpid()));
    std::string suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) suffix += letters[random() % (sizeof letters - 1)];
    return suffix;
}

} // namespace

XGSaveFile::XGSaveFile(std::string destination) : fDestination(std::move(destination))
{
    XGFileSpecifier target(fDestination);
    std::string prefix = PrefixFor(target.GetName());
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string path = XGFileSpecifier(target.GetFolder(), prefix + RandomSuffix()).GetPath();
        fFile.SetName(path);
        if (fFile.CreateNew()) {
            fPath = path;
            fFile.SetName(fDestination);
            return;
        }
        error = errno;
    }
    throw XGPostWinOSError(kXGFileWriteError, error, {fDestination});
}

XGSaveFile::~XGSaveFile()
{
    fFile = XGFile();
    if (!fPlaced) ::unlink(fPath.c_str());
}

XGFile XGSaveFile::Finish()
{
    fFile.Close();
    XGFile written(fPath);
    if (!written.TryOpen(XGFile::kRead)) throw XGPostWinOSError(kXGFileWriteError, errno, {fDestination});
    written.SetName(fDestination);
    return written;
}

int XGSaveFile::Replace(bool exclusive)
{
    if (exclusive) {
        if (::renameat2(AT_FDCWD, fPath.c_str(), AT_FDCWD, fDestination.c_str(), RENAME_NOREPLACE) == 0) {
            fPlaced = true;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) return errno;
        // a file system without exclusive renames: a link fails just as well on an existing name
        if (::link(fPath.c_str(), fDestination.c_str()) != 0) return errno;
        ::unlink(fPath.c_str());
        fPlaced = true;
        return 0;
    }
    struct stat st;
    if (::stat(fDestination.c_str(), &st) == 0) ::chmod(fPath.c_str(), st.st_mode & 07777);
    if (::rename(fPath.c_str(), fDestination.c_str()) != 0) return errno;
    fPlaced = true;
    return 0;
}

bool XGSaveFile::IsTemporaryName(const std::string& name)
{
    if (name.size() < 1 + 1 + kMarkerLength + kSuffixLength || name[0] != '.') return false;
    size_t at = name.size() - kSuffixLength - kMarkerLength;
    return name.compare(at, kMarkerLength, kMarker) == 0 && HasSuffix(name, at + kMarkerLength);
}

void XGSaveFile::RemoveStale(const std::string& destination, const std::string& keep)
{
    XGFileSpecifier target(destination);
    std::string prefix = PrefixFor(target.GetName());
    std::string kept = keep.empty() ? std::string() : XGFileSpecifier(keep).GetName();
    DIR* dir = ::opendir(target.GetFolder().c_str());
    if (!dir) return;
    while (dirent* d = ::readdir(dir)) {
        std::string name = d->d_name;
        if (name == kept || name.compare(0, prefix.size(), prefix) != 0 || !HasSuffix(name, prefix.size())) continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}
