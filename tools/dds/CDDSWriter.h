#pragma once
// Writes our generated textures as ".dds" files: DXT1 (with 1-bit alpha where a block has
// transparent pixels), DXT5, or plain 32-bit ARGB and 24-bit RGB. One mip level only.
#include <cstdint>
#include <string>
#include <vector>

enum EDDSFormat { EDF_DXT1, EDF_DXT5, EDF_A8R8G8B8, EDF_R8G8B8 };

class CDDSWriter {
public:
    // `argb` holds width * height pixels (0xAARRGGBB), row by row from the top. Returns the whole
    // file's bytes, or nothing when the size and the pixel count do not agree.
    static std::vector<uint8_t> encode(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height,
                                       EDDSFormat format);

    // Encodes and writes the file; false when the pixels are bad or the file cannot be written.
    static bool write(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width,
                      uint32_t height, EDDSFormat format);
};
