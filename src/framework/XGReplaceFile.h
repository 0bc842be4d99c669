// Writes a whole file through a temporary file beside it that replaces the file by
// rename only when complete, so that a failed or killed write leaves the old file.
#pragma once

#include <cstddef>
#include <string>

// Raises the framework's file errors naming the path; the file is then unchanged.
void XGReplaceFile(const std::string& path, const void* data, size_t size);
