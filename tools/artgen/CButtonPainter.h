#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"

#include <string>

namespace artgen
{

//! The main menu's buttons: a slanted dusk-coloured plate with an amber rim and the word in the
//! game's font. The hover look lights the rim and the word up and points at it with chevrons.
//! The picture is stretched over the button's box, about twelve times as wide as high on the
//! usual screens.
class CButtonPainter
{
public:
	static const int kWidth = 1024;
	static const int kHeight = 80;

	explicit CButtonPainter(paint::CTextRenderer& text);

	paint::CCanvas paint(const std::string& word, bool hover);

private:
	paint::CTextRenderer& Text;
};

} // namespace artgen
