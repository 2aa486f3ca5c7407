#pragma once
// A null-driver engine with the game's DDS loader registered, loading files the way the game's
// getTexture does: through the driver, with whatever the engine prints captured.
#include <cstdint>
#include <string>
#include <vector>

namespace irr {
class IrrlichtDevice;
}

struct SDecodedImage {
    bool loaded = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> argb; // row by row from the top
    std::string output;         // what the load printed

    uint32_t at(uint32_t x, uint32_t y) const { return argb[size_t(y) * width + x]; }
};

class CDDSTestLoader {
public:
    CDDSTestLoader();
    ~CDDSTestLoader();
    CDDSTestLoader(const CDDSTestLoader&) = delete;
    CDDSTestLoader& operator=(const CDDSTestLoader&) = delete;

    SDecodedImage load(const std::string& path) const;

private:
    irr::IrrlichtDevice* Device;
};

// Largest difference of any channel (alpha included) between two ARGB values.
int channelDifference(uint32_t a, uint32_t b);
