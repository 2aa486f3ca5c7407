#pragma once

#include "CCanvas.h"
#include "CTextRenderer.h"

namespace splashgen
{

//! The second splash image: a wide desert at sunset, a buggy cresting a dune in a plume of dust,
//! and the title over the sky. Shown whole, as a square.
class CSplashScene
{
public:
	explicit CSplashScene(CTextRenderer& text);
	void paint(CCanvas& canvas);

private:
	CTextRenderer& Text;
};

} // namespace splashgen
