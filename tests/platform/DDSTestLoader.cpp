#include "DDSTestLoader.h"

#include "support/TestSupport.h"
#include "platform/CDDSImageLoader.h"

#include <irrlicht.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

CDDSTestLoader::CDDSTestLoader()
{
    testsupport::captureStdout([&] { Device = irr::createDevice(irr::video::EDT_NULL); });
    if (!Device)
        throw std::runtime_error("no null-driver device");
    irr::video::IVideoDriver* driver = Device->getVideoDriver();
    CDDSImageLoader* loader = new CDDSImageLoader(driver);
    driver->addExternalImageLoader(loader);
    loader->drop();
}

CDDSTestLoader::~CDDSTestLoader()
{
    Device->drop();
}

SDecodedImage CDDSTestLoader::load(const std::string& path) const
{
    SDecodedImage result;
    irr::video::IImage* image = nullptr;
    result.output = testsupport::captureStdout(
        [&] { image = Device->getVideoDriver()->createImageFromFile(path.c_str()); });
    if (!image)
        return result;
    result.loaded = image->getColorFormat() == irr::video::ECF_A8R8G8B8;
    result.width = image->getDimension().Width;
    result.height = image->getDimension().Height;
    const uint8_t* rows = static_cast<const uint8_t*>(image->lock());
    for (uint32_t y = 0; y < result.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(rows + size_t(y) * image->getPitch());
        result.argb.insert(result.argb.end(), row, row + result.width);
    }
    image->unlock();
    image->drop();
    return result;
}

int channelDifference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return worst;
}
