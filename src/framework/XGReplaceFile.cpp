#include "framework/XGReplaceFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"

void XGReplaceFile(const std::string& path, const void* data, size_t size)
{
    XGFileSpecifier target(path);
    XGFileSpecifier temp = XGFileSpecifier::MakeTemporary(target.GetFolder());
    try {
        XGFile out(temp.GetPath());
        out.Open(XGFile::kReadWrite);
        if (size) out.Write(data, size);
        out.Close();
        struct stat st;
        if (::stat(path.c_str(), &st) == 0) ::chmod(temp.GetPath().c_str(), st.st_mode & 07777);
        if (::rename(temp.GetPath().c_str(), path.c_str()) != 0)
            throw XGPostWinOSError(kXGFileWriteError, errno, {path});
    } catch (...) {
        ::unlink(temp.GetPath().c_str());
        throw;
    }
}
