#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"

namespace artgen
{

//! The race's finishing-place pictures: a medal with a knobby-tyre rim hanging from a ribbon,
//! gold, silver or bronze, engraved with the place. The race shows the whole picture stretched
//! over the middle quarter of the screen's width and half of its height.
class CPlaceBadgePainter
{
public:
	static const int kSize = 512;

	explicit CPlaceBadgePainter(paint::CTextRenderer& text);

	//! place: 1 to 3.
	paint::CCanvas paint(int place);

private:
	paint::CTextRenderer& Text;
};

} // namespace artgen
