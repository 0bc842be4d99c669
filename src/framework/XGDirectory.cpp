#include "framework/XGDirectory.h"

#include <algorithm>
#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/XGError.h"

namespace {
std::string gDefaultFolder;
}

const std::string& XGDirectory::GetPath() const
{
    if (fPath.empty()) throw XGPostError(kXGAssertionFailure, {"uninitialized XGDirectory", "XGDirectory", __LINE__});
    return fPath;
}

void XGDirectory::MakeCurrent() const
{
    const std::string& path = GetPath();
    if (::chdir(path.c_str()) != 0)
        throw XGPostError(kXGAssertionFailure, {"::SetCurrentDirectory(fPath.Get())", "XGDirectory", __LINE__});
}

XGDirectory XGDirectory::GetCurrent()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        throw XGPostError(kXGAssertionFailure,
                          {"::GetCurrentDirectory(sizeof(buffer),buffer)", "XGDirectory", __LINE__});
    return XGDirectory(buffer);
}

std::vector<XGDirectoryEntry> XGDirectory::GetEntries() const
{
    std::vector<XGDirectoryEntry> entries;
    DIR* dir = ::opendir(GetPath().c_str());
    if (!dir) throw XGPostError(kXGFileOpenError, {fPath});
    while (dirent* d = ::readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        bool folder = d->d_type == DT_DIR;
        if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            struct stat st;
            std::string full = fPath + "/" + name;
            folder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back({std::move(name), folder});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const XGDirectoryEntry& a, const XGDirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

bool XGDirectory::First(XGDirectoryEntry& entry)
{
    fWalk = GetEntries();
    fWalkIndex = 0;
    return Next(entry);
}

bool XGDirectory::Next(XGDirectoryEntry& entry)
{
    if (fWalkIndex >= fWalk.size()) return false;
    entry = fWalk[fWalkIndex++];
    return true;
}

void XGDirectory::SetDefault(const std::string& path)
{
    gDefaultFolder = path;
}

XGDirectory XGDirectory::GetDefault()
{
    if (gDefaultFolder.empty()) return GetCurrent();
    return XGDirectory(gDefaultFolder);
}
