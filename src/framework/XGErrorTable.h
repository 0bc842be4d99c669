// Error message tables: resources of type 'EMSG', a big-endian 16-bit count
// followed by pairs of length-prefixed strings (title, message).
// An error code is (table number << 16) | index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/XGResources.h"

struct XGErrorText {
    std::string title;
    std::string message;
};

enum : uint32_t {
    kXGOutOfMemory = 0x800000,
    kXGAssertionFailure = 0x800001,
    kXGStringListOverflow = 0x800002,
    kXGStringListError = 0x800003,
    kXGRandomException = 0x800007,
    kXGUnableToCreateWindow = 0x800008,
    kXGApplicationCoreError = 0x80000B,
    kXGUnableToCreateView = 0x80000C,
    kXGFileOpenError = 0x80000F,
    kXGFileCreateError = 0x800010,
    kXGFileReadError = 0x800011,
    kXGFileWriteError = 0x800012,
    kXGSetFilePositionError = 0x800013,
    kXGSetEndOfFileError = 0x800014,
    kXGFileDoesNotExist = 0x800015,
    kXGOverwriteFile = 0x800016,
};

// Encodes pairs in the table format.
XGResourceData XGBuildErrorTable(const std::vector<XGErrorText>& entries);

// Decodes a table; a table whose lengths run past its end yields what was complete.
std::vector<XGErrorText> XGParseErrorTable(const XGResourceData& data);

// Title and message of an error code; false when the table or index does not exist.
bool XGLookupErrorText(uint32_t code, XGErrorText& out);

// Registers table 128 (called on first use of the resources).
void XGRegisterFrameworkErrorTable();
