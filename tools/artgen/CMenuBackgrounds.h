#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"

namespace artgen
{

//! The three menu backgrounds. Each is stretched over the whole screen, so they are painted for
//! the common wide screens; the menus lay their buttons and texts over the middle, which the
//! pictures keep calm.
class CMenuBackgrounds
{
public:
	static const int kWidth = 1920;
	static const int kHeight = 1080;

	explicit CMenuBackgrounds(paint::CTextRenderer& text);

	//! The main screen: the title over a sunset desert, the buggy leaping at the left edge.
	paint::CCanvas paintMain();
	//! Every other screen: the desert after sunset, stars over low dunes, a small title on top.
	paint::CCanvas paintSub();
	//! The loading screen: the buggy in mid-air in front of a big setting sun.
	paint::CCanvas paintLoading();

private:
	paint::CTextRenderer& Text;
};

} // namespace artgen
