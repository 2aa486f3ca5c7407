#include "menu/MenuImage.h"

#include <cstdio>

#include "core/CGameEngine.h"

irr::video::ITexture* loadMenuImage(CGameEngine* engine, const std::string& path)
{
    irr::video::ITexture* texture = engine->getVideoDriver()->getTexture(path.c_str());
    if (!texture)
        std::printf("Warning: Could not load the menu image \"%s\"; it is not drawn\n", path.c_str());
    return texture;
}
