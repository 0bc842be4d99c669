// Exclusive advisory locks (flock) on files that are about to be written, so that programs
// writing one file take turns. Locks are shared by the whole process and counted: a holder
// may lock a path again. The lock is on the file itself, or on its folder while the file does
// not exist yet; after locking, the path is checked to still name what was locked. Whoever
// replaces a locked file by rename first locks the new file and hands the lock over to it, so
// that the lock outlives the rename.
#pragma once

#include <string>

#include "framework/XGFile.h"

class XGFileLock {
public:
    XGFileLock() = default;
    // Waits for the lock, as long as SetWait allows; raises "File Write Error" when that
    // runs out. A path that cannot be opened at all is not locked (IsHeld is false).
    explicit XGFileLock(const std::string& path);
    ~XGFileLock();
    XGFileLock(XGFileLock&& other) noexcept;
    XGFileLock& operator=(XGFileLock&& other) noexcept;
    XGFileLock(const XGFileLock&) = delete;
    XGFileLock& operator=(const XGFileLock&) = delete;

    bool IsHeld() const;

    // Before replacement takes the path's place: locks it. False when it cannot be locked at once.
    bool PrepareHandOver(const XGFile& replacement) const;
    // After the rename: replacement's lock is the path's from now on; the old one is let go.
    void HandOver(const XGFile& replacement);

    // How long a lock is waited for, in milliseconds; negative: without limit (the default).
    static void SetWait(int milliseconds);
    // Locks path until the process ends.
    static void Keep(const std::string& path);

private:
    std::string fKey; // empty when nothing is held
};
