#include "framework/XGFileSpecifier.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "framework/XGError.h"

XGFileSpecifier::XGFileSpecifier(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        fFolder = std::string(1, '.');
        fName = path;
    } else {
        fFolder = path.substr(0, slash == 0 ? 1 : slash);
        fName = path.substr(slash + 1);
    }
}

std::string XGFileSpecifier::GetPath() const
{
    if (fFolder.empty() || fFolder == ".") return fName;
    if (fFolder.back() == '/') return fFolder + fName;
    return fFolder + "/" + fName;
}

std::string XGFileSpecifier::GetBaseName() const
{
    size_t dot = fName.find_last_of('.');
    if (dot != std::string::npos && fName.size() - dot - 1 <= 3) return fName.substr(0, dot);
    return fName;
}

std::string XGFileSpecifier::GetExtension() const
{
    size_t dot = fName.find_last_of('.');
    return dot == std::string::npos ? std::string() : fName.substr(dot + 1);
}

bool XGFileSpecifier::operator==(const XGFileSpecifier& other) const
{
    return XGNormalPath(GetPath()) == XGNormalPath(other.GetPath());
}

XGFileSpecifier XGFileSpecifier::MakeTemporary(const std::string& folder)
{
    static unsigned counter =
        (unsigned)std::chrono::steady_clock::now().time_since_epoch().count() ^ ((unsigned)::getpid() << 16);
    std::string dir = folder.empty() ? "." : folder;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "temp-%x", ++counter);
        XGFileSpecifier candidate(dir, name);
        int fd = ::open(candidate.GetPath().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) break;
    }
    throw XGPostError(kXGFileCreateError, {dir + "/temp-"});
}

namespace {

// Absolute, without "." or ".." parts, doubled or trailing separators.
bool IsNormalAbsolute(const std::string& path)
{
    if (path.empty() || path[0] != '/') return false;
    size_t n = path.size();
    for (size_t i = 0; i < n; ++i) {
        if (path[i] != '/') continue;
        if (i + 1 == n) return n == 1;
        char c = path[i + 1];
        if (c == '/') return false;
        if (c == '.') {
            size_t k = i + 2;
            if (k < n && path[k] == '.') ++k;
            if (k == n || path[k] == '/') return false;
        }
    }
    return true;
}

} // namespace

std::string XGNormalPath(const std::string& path)
{
    // the common case: paths the program made itself
    if (IsNormalAbsolute(path)) return path;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    if (ec) p = path;
    return p.lexically_normal().string();
}
