#include "tools/contentkit/CNumberText.h"

#include <charconv>
#include <cmath>

namespace contentkit {

std::string CNumberText::fromFloat(float value, bool* finite)
{
    if (!std::isfinite(value)) {
        if (finite)
            *finite = false;
        return "0";
    }
    // std::to_chars never looks at the locale, and without a precision it gives the shortest text
    // that parses back exactly.
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, end.ptr);
}

std::string CNumberText::fromInt(long long value)
{
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

} // namespace contentkit
