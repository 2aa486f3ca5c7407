#pragma once
// The game's reader of ".dds" textures: DXT1 (with or without 1-bit alpha), DXT3, DXT5 and plain
// 24- and 32-bit pixels with any channel masks. Only the top mip level is read; the result is
// always an A8R8G8B8 image. A malformed file gives null and one "Warning: " line.
#include <IImageLoader.h>

namespace irr {
namespace video {
class IVideoDriver;
}
}

class CDDSImageLoader : public irr::video::IImageLoader {
public:
    // The driver owns the loader once registered, so the loader does not grab it back.
    explicit CDDSImageLoader(irr::video::IVideoDriver* driver);

    bool isALoadableFileExtension(const irr::io::path& filename) const override;
    bool isALoadableFileFormat(irr::io::IReadFile* file) const override;
    irr::video::IImage* loadImage(irr::io::IReadFile* file) const override;

private:
    irr::video::IVideoDriver* Driver;
};
