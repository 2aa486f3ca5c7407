#pragma once
// Writes one generated file, making its folders first. A failure prints an "ERROR: " line.
#include <cstdint>
#include <string>
#include <vector>

namespace contentkit {

class CContentFile {
public:
    static bool write(const std::string& path, const std::string& bytes);
    static bool write(const std::string& path, const std::vector<uint8_t>& bytes);
};

} // namespace contentkit
