// A whole-file write: a new file beside the destination, named ".NAME.save-XXXXXX" so that no
// loader takes it for the real file, which replaces the destination by rename once it is
// complete. Abandoned before that, it is removed. Failures name the destination, not the
// temporary file, with the system's reason.
#pragma once

#include <string>

#include "framework/XGFile.h"

class XGSaveFile {
public:
    // Creates the temporary file; raises "File Write Error" naming the destination.
    explicit XGSaveFile(std::string destination);
    ~XGSaveFile();
    XGSaveFile(const XGSaveFile&) = delete;
    XGSaveFile& operator=(const XGSaveFile&) = delete;

    // Open for reading and writing; its errors name the destination.
    XGFile& GetFile() { return fFile; }
    const std::string& GetPath() const { return fPath; }
    const std::string& GetDestination() const { return fDestination; }

    // Closes what was written (a failed close raises) and opens it again for reading.
    XGFile Finish();
    // Renames the file onto the destination, keeping the permission bits of a file it
    // replaces. With exclusive set an existing destination stays and EEXIST is returned.
    // 0 or the system's error number.
    int Replace(bool exclusive);

    // Whether a folder entry is a temporary file of some save.
    static bool IsTemporaryName(const std::string& name);
    // Removes the temporary files that killed saves of destination left behind, but keep.
    static void RemoveStale(const std::string& destination, const std::string& keep = {});

private:
    std::string fDestination;
    std::string fPath;
    XGFile fFile;
    bool fPlaced = false;
};
