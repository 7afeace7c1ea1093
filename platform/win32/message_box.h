// MessageBoxA's text when it cannot show a box: one line for stderr.
#pragma once

#include <string>

namespace platform {

// "caption: text"; a null caption reads "Error" (as Windows titles such a
// box), a null text is empty.
std::string FormatMessageBoxLine(const char* text, const char* caption);

}  // namespace platform
