#pragma once
// Writes one generated file, making its folders first. A failure prints an "ERROR: " line.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/dds/CDDSWriter.h"

namespace contentkit {

class CContentFile {
public:
    static bool write(const std::string& path, const std::string& bytes);
    static bool write(const std::string& path, const std::vector<uint8_t>& bytes);
    // A texture through our DDS writer; `argb` as CDDSWriter takes it.
    static bool writeDds(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width,
                         uint32_t height, EDDSFormat format);
};

} // namespace contentkit
