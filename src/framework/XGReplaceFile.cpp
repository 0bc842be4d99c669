#include "framework/XGReplaceFile.h"

#include "framework/XGError.h"
#include "framework/XGSaveFile.h"

void XGReplaceFile(const std::string& path, const void* data, size_t size)
{
    XGSaveFile out(path);
    if (size) out.GetFile().Write(data, size);
    out.Finish();
    if (int error = out.Replace(false)) throw XGPostWinOSError(kXGFileWriteError, error, {path});
}
