// The creation record that static objects and vehicles keep for the loader and the materials.
#include <gtest/gtest.h>

#include "world/SEntityDesc.h"

using namespace irr;

TEST(EntityDesc, TextureIndexOutsideTheListGivesAnEmptyPath)
{
    const SEntityDesc desc(3, "Hill", "NULL", "data/hill.b3d", "NULL", "NULL", "NULL", "NULL",
                           core::vector3df(1, 2, 3), core::vector3df(0, 90, 0),
                           core::vector3df(2, 2, 2), core::vector3df(0, 0.5f, 0), false, 1,
                           {"data/a.png", "data/b.png"}, video::SColor(255, 1, 2, 3), nullptr);
    ASSERT_EQ(desc.getTextureCount(), 2);
    EXPECT_EQ(desc.getTexture(0), "data/a.png");
    EXPECT_EQ(desc.getTexture(1), "data/b.png");
    for (s32 outside : {-1, 2, 1000})
        EXPECT_EQ(desc.getTexture(outside), "") << outside;

    const SEntityDesc bare(0, "Car", "NULL", "m", "w", "w", "w", "w", core::vector3df(),
                           core::vector3df(), core::vector3df(1, 1, 1), core::vector3df(), false,
                           0, {}, video::SColor(0xFF0000FF), nullptr);
    EXPECT_EQ(bare.getTextureCount(), 0);
    EXPECT_EQ(bare.getTexture(0), "");
}
