// An image or mesh file as the game loads it: through the engine's texture and mesh caches on a
// null device, with the game's own DDS loader added. FUZZ_FILE names the file (its extension
// picks the loader first); FUZZ_MESH says whether it is a mesh.
#include <irrlicht.h>

#include "platform/CDDSImageLoader.h"
#include "tests/fuzz/FuzzFile.h"

using namespace irr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static IrrlichtDevice* device = [] {
        IrrlichtDevice* d = createDevice(video::EDT_NULL, core::dimension2d<u32>(640, 480));
        d->getLogger()->setLogLevel(ELL_NONE);
        video::IImageLoader* dds = new CDDSImageLoader(d->getVideoDriver());
        d->getVideoDriver()->addExternalImageLoader(dds);
        dds->drop();
        return d;
    }();
    const std::string path = writeFuzzFile(FUZZ_FILE, data, size);
    if (FUZZ_MESH) {
        scene::IMeshCache* cache = device->getSceneManager()->getMeshCache();
        if (scene::IAnimatedMesh* mesh = device->getSceneManager()->getMesh(path.c_str()))
            cache->removeMesh(mesh);
        device->getVideoDriver()->removeAllTextures();
    } else {
        video::IVideoDriver* driver = device->getVideoDriver();
        if (video::ITexture* texture = driver->getTexture(path.c_str()))
            driver->removeTexture(texture);
    }
    return 0;
}
