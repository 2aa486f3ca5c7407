#include "core/CSplashScreen.h"

#include <LinearMath/btQuickprof.h>

#include "core/CGameEngine.h"

using namespace irr;

namespace {

const f32 kBlackMs = 1000.0f;
const f32 kFadeMs = 2500.0f;
const f32 kHoldUntilMs = 7000.0f;

} // namespace

CSplashScreen::CSplashScreen(CGameEngine* engine) : startTime(0.0f), engine(engine) {}

void CSplashScreen::show(const std::string& path, u32 widthDivisor, bool skippable, bool fadeIn,
                         video::SColor background)
{
    IrrlichtDevice* device = engine->getDevice();
    video::IVideoDriver* driver = engine->getVideoDriver();

    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    video::ITexture* texture = driver->getTexture(path.c_str());
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);

    if (fadeIn)
        startTime = static_cast<f32>(device->getTimer()->getTime());

    btClock clock;
    f32 t = 0.0f;
    bool skip = false;
    f32 alpha = fadeIn ? 1.0f : 0.0f;

    const core::dimension2d<u32> screen = driver->getScreenSize();
    const s32 W = static_cast<s32>(screen.Width);
    const s32 H = static_cast<s32>(screen.Height);
    const s32 divisor = widthDivisor > 0 ? static_cast<s32>(widthDivisor) : 1;
    const s32 imageWidth = H / divisor;
    // Signed, so a window narrower than the image centres it with negative x instead of wrapping.
    const s32 left = (W - imageWidth) / 2;
    const core::rect<s32> destination(left, 0, left + imageWidth, H);
    const core::rect<s32> source(0, 0, 2048 / divisor, 2048);

    bool done = false;
    while (!done && engine->run()) {
        if (!device->isWindowActive()) {
            clock.reset();
            device->yield();
            continue;
        }
        const f32 dt = static_cast<f32>(clock.getTimeMicroseconds()) / 1000.0f;
        clock.reset();
        if (skippable && engine->getInput().isKeyDown(KEY_ESCAPE))
            skip = true;

        if (fadeIn) {
            t += dt;
            if (t < kBlackMs) {
                alpha = 1.0f;
            } else if (t < kBlackMs + kFadeMs) {
                alpha = 1.0f - (t - kBlackMs) / kFadeMs;
            } else {
                alpha = 0.0f;
                done = true;
            }
        } else {
            const f32 now = static_cast<f32>(device->getTimer()->getTime());
            if (now > startTime + kHoldUntilMs || skip) {
                t += dt;
                if (t < kFadeMs) {
                    alpha = t / kFadeMs;
                } else if (t < kFadeMs + kBlackMs) {
                    alpha = 1.0f;
                } else {
                    alpha = 1.0f;
                    done = true;
                }
            }
        }

        driver->beginScene(true, false, background);
        driver->enableMaterial2D(true);
        video::SMaterial& material2D = driver->getMaterial2D();
        material2D.TextureLayer[0].BilinearFilter = true;
        material2D.TextureLayer[0].TextureWrapU = video::ETC_CLAMP_TO_EDGE;
        material2D.TextureLayer[0].TextureWrapV = video::ETC_CLAMP_TO_EDGE;
        if (texture)
            driver->draw2DImage(texture, destination, source, nullptr, nullptr, true);
        driver->enableMaterial2D(false);
        driver->draw2DRectangle(video::SColor(static_cast<u32>(alpha * 255.0f), 0, 0, 0),
                                core::rect<s32>(0, 0, W, H));
        driver->endScene();
    }
}
