#pragma once

#include "CCanvas.h"
#include "CTextRenderer.h"

#include <string>

namespace paint
{

//! The game's lettering: the chrome-and-sunset title and the small caption under it.
class CTitlePainter
{
public:
	explicit CTitlePainter(CTextRenderer& text);

	//! The title scaled to the given ink width and centred on centreX; returns the pixel size
	//! used.
	float paintTitle(CCanvas& canvas, const std::string& title, float centreX, float baselineY,
		float inkWidth);
	void paintCaption(CCanvas& canvas, const std::string& caption, float centreX, float baselineY,
		float size, const SColour& colour, const SColour& shadow);

private:
	CTextRenderer& Text;
};

} // namespace paint
