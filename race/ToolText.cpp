#include "race/ToolText.h"

#include <charconv>
#include <cstdio>
#include <fstream>

std::string formatFixed6(double value)
{
    // std::to_chars never looks at the locale; the buffer holds any double in fixed notation.
    char text[384];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (end.ec != std::errc())
        return "0.000000";
    return std::string(text, end.ptr);
}

bool writeToolFile(const std::string& fileName, const irr::core::stringc& text)
{
    std::ofstream file(fileName, std::ios::out | std::ios::trunc);
    if (file)
        file.write(text.c_str(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        std::printf("ERROR: Could not write \"%s\"\n", fileName.c_str());
        return false;
    }
    return true;
}
