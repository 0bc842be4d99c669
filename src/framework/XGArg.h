// One argument of an error message: a text or a 32-bit integer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class XGArg {
public:
    XGArg(const char* s) : fText(s ? s : ""), fIsText(true) {}
    XGArg(std::string s) : fText(std::move(s)), fIsText(true) {}
    XGArg(std::string_view s) : fText(s), fIsText(true) {}
    template <class N, class = std::enable_if_t<std::is_integral_v<N>>>
    XGArg(N n) : fNumber((int32_t)(int64_t)n), fIsText(false) {}

    bool IsText() const { return fIsText; }
    const std::string& Text() const { return fText; }
    int32_t Number() const { return fNumber; }

private:
    std::string fText;
    int32_t fNumber = 0;
    bool fIsText = false;
};

using XGArgs = std::vector<XGArg>;
