#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"

namespace splashgen
{

//! The second splash image: a wide desert at sunset, a buggy cresting a dune in a plume of dust,
//! and the title over the sky. Shown whole, as a square.
class CSplashScene
{
public:
	explicit CSplashScene(paint::CTextRenderer& text);
	void paint(paint::CCanvas& canvas);

private:
	paint::CTextRenderer& Text;
};

} // namespace splashgen
