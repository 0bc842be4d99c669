#include "framework/XGError.h"

#include <cstdio>
#include <cstring>

#include "framework/XGPlaceholders.h"

XGError::XGError(int32_t kind, std::string title, std::string message, uint32_t code)
    : fKind(kind), fTitle(std::move(title)), fMessage(std::move(message)), fCode(code)
{
    fWhat = fTitle + ": " + fMessage;
}

struct XGExpandedText {
    std::string title;
    std::string message;
};

namespace {

XGExpandedText TextFor(uint32_t code, const XGArgs& args)
{
    XGErrorText text;
    if (!XGLookupErrorText(code, text)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Error %X", (unsigned)code);
        return {buffer, buffer};
    }
    return {XGExpandPlaceholders(text.title, args), XGExpandPlaceholders(text.message, args)};
}

} // namespace

XGPostError::XGPostError(uint32_t code, const XGArgs& args) : XGPostError(code, args, TextFor(code, args)) {}

XGPostError::XGPostError(uint32_t code, const XGArgs& args, const XGExpandedText& text)
    : XGError(kXGError, text.title, text.message, code), fArgs(args)
{
}

XGPostWinOSError::XGPostWinOSError(uint32_t code, int errnum, const XGArgs& args)
    : XGPostWinOSError(code, errnum, TextFor(code, args))
{
}

XGPostWinOSError::XGPostWinOSError(uint32_t code, int errnum, const XGExpandedText& text)
    : XGError(kXGError, text.title, text.message + " (" + std::strerror(errnum) + ")", code),
      fSystemError(errnum)
{
}

XGAbort::XGAbort() : XGError(kXGError, "Procedure aborted", "The operation was aborted.", 0) {}
