// The framework's errors. Every error has a kind (error, caution, warning),
// a title and a message; the main loop and command handlers report it as an alert.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "framework/XGArg.h"
#include "framework/XGErrorTable.h"

enum XGErrorKind : int32_t {
    kXGError = 1,
    kXGCaution = 2,
    kXGWarning = 3,
};

class XGError : public std::exception {
public:
    XGError(int32_t kind, std::string title, std::string message, uint32_t code = 0);

    int32_t GetKind() const { return fKind; }
    const std::string& GetTitle() const { return fTitle; }
    const std::string& GetMessage() const { return fMessage; }
    uint32_t GetCode() const { return fCode; }
    const char* what() const noexcept override { return fWhat.c_str(); }

private:
    int32_t fKind;
    std::string fTitle;
    std::string fMessage;
    uint32_t fCode;
    std::string fWhat;
};

// An error whose title and message come from the error table entry named by the code,
// with the placeholders filled from up to nine arguments.
class XGPostError : public XGError {
public:
    XGPostError(uint32_t code, const XGArgs& args = {});
    const XGArgs& GetArgs() const { return fArgs; }

private:
    XGPostError(uint32_t code, const XGArgs& args, const struct XGExpandedText& text);
    XGArgs fArgs;
};

// A failed operating-system call: the table entry plus the system's own text for errnum.
class XGPostWinOSError : public XGError {
public:
    XGPostWinOSError(uint32_t code, int errnum, const XGArgs& args = {});
    int GetSystemError() const { return fSystemError; }

private:
    XGPostWinOSError(uint32_t code, int errnum, const struct XGExpandedText& text);
    int fSystemError;
};

// Abandons an operation.
class XGAbort : public XGError {
public:
    XGAbort();
};

// Framework assertion: raises 128/1 with the expression, the source name and the line.
#define XG_ASSERT(expr, source)                                                          \
    do {                                                                                 \
        if (!(expr)) throw XGPostError(kXGAssertionFailure, {#expr, source, __LINE__});  \
    } while (0)
