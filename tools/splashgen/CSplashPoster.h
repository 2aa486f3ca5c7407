#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"

namespace splashgen
{

//! The first splash image: a tall poster card on white, a striped sunset sun with the buggy
//! leaping across it, the title on top. Only the left half of the square is ever shown, so the
//! artwork keeps to it and the right half stays plain white.
class CSplashPoster
{
public:
	explicit CSplashPoster(paint::CTextRenderer& text);
	void paint(paint::CCanvas& canvas);

private:
	paint::CTextRenderer& Text;
};

} // namespace splashgen
