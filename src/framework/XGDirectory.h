// A folder remembered by path; the current folder; the program's default folder.
#pragma once

#include <string>
#include <vector>

struct XGDirectoryEntry {
    std::string name;
    bool isFolder = false;
};

class XGDirectory {
public:
    XGDirectory() = default;
    explicit XGDirectory(std::string path) : fPath(std::move(path)) {}

    bool IsInitialized() const { return !fPath.empty(); }
    const std::string& GetPath() const;

    void MakeCurrent() const;
    static XGDirectory GetCurrent();

    // Entries in name order ("." and ".." left out). First and Next walk them one by one.
    std::vector<XGDirectoryEntry> GetEntries() const;
    bool First(XGDirectoryEntry& entry);
    bool Next(XGDirectoryEntry& entry);

    // The folder that holds the program: its data subfolders are loaded at start.
    static void SetDefault(const std::string& path);
    static XGDirectory GetDefault();

private:
    std::string fPath;
    std::vector<XGDirectoryEntry> fWalk;
    size_t fWalkIndex = 0;
};
