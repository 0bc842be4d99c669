// Placeholder expansion for error titles and messages:
// "#" + optional argument number 1..9 + kind S, P, L, X or I.
#pragma once

#include <string>
#include <string_view>

#include "framework/XGArg.h"

std::string XGExpandPlaceholders(std::string_view text, const XGArgs& args);
