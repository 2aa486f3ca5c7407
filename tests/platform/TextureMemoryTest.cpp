// What a loaded picture costs on the OpenGL driver (run under a private Xvfb): the driver holds it,
// and the engine library keeps no second copy in main memory; the picture still reads back upright
// through a lock and takes what is written through one.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstddef>

#include "core/CGameEngine.h"
#include "support/TestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's own count of live bytes (its runtime has it; mallinfo2 does not see its
// heap).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using irr::u32;

namespace {

// The bytes the process has allocated and not yet freed (the driver's storage included).
std::size_t liveHeapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks + mallinfo2().hblkhd;
#endif
}

constexpr u32 kSide = 2048;
constexpr std::size_t kPictureBytes = std::size_t(kSide) * kSide * 4;

// A picture whose every row and column differs, so that a flip or a shift shows.
irr::video::IImage* makePicture(irr::video::IVideoDriver* driver)
{
    irr::video::IImage* image = driver->createImage(irr::video::ECF_A8R8G8B8, {kSide, kSide});
    u32* pixels = static_cast<u32*>(image->lock());
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x)
            pixels[y * kSide + x] = 0xFF000000u | (y << 11) | x;
    image->unlock();
    return image;
}

TEST(TextureMemory, APictureIsHeldOnceAndReadsBackUpright)
{
    testsupport::CGLEngine glEngine{1024, 768};
    ASSERT_NE(glEngine->getDevice(), nullptr) << "no OpenGL window (is DISPLAY set?)";
    irr::video::IVideoDriver* driver = glEngine->getVideoDriver();
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);

    irr::video::IImage* picture = makePicture(driver);
    const std::size_t before = liveHeapBytes();
    irr::video::ITexture* texture = driver->addTexture("picture", picture);
    const std::size_t after = liveHeapBytes();
    picture->drop();
    ASSERT_NE(texture, nullptr);
    // the driver's own storage is one picture; a kept copy would make it two
    EXPECT_LT(after - before, kPictureBytes * 3 / 2);
    EXPECT_GE(after - before, kPictureBytes / 2) << "the driver's storage did not show in the heap";

    u32* pixels = static_cast<u32*>(texture->lock(irr::video::ETLM_READ_WRITE));
    ASSERT_NE(pixels, nullptr);
    const u32 pitch = texture->getPitch() / 4;
    int wrong = 0;
    for (u32 y = 0; y < kSide; y += 7)
        for (u32 x = 0; x < kSide; x += 5)
            wrong += pixels[y * pitch + x] != (0xFF000000u | (y << 11) | x);
    EXPECT_EQ(wrong, 0) << "the picture read back differs from the one loaded";
    pixels[3 * pitch + 2] = 0xFF123456u;
    texture->unlock();

    const u32* again = static_cast<const u32*>(texture->lock(irr::video::ETLM_READ_ONLY));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[3 * pitch + 2], 0xFF123456u) << "a write through the lock was lost";
    EXPECT_EQ(again[(kSide - 1) * pitch + 9], 0xFF000000u | ((kSide - 1) << 11) | 9u);
    texture->unlock();
}

} // namespace
