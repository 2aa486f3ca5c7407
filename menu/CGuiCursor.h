#pragma once
#include <irrlicht.h>

class CGameEngine;

// The menus' mouse pointer: an image drawn 35 x 35 pixels at the mouse position.
class CGuiCursor {
public:
    CGuiCursor(const char* path, CGameEngine* engine);

    void draw();
    void release();

private:
    irr::video::ITexture* texture;
    CGameEngine* engine;
};
