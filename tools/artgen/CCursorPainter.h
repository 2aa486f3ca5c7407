#pragma once

#include "tools/paint/CCanvas.h"

namespace artgen
{

//! The menu's mouse pointer: an amber arrow with a dark rim and a soft shadow. The menus draw the
//! picture's top-left corner at the mouse position, squeezed to 35 pixels square, so the tip sits
//! in that corner and the strokes are thick enough to survive the squeeze.
class CCursorPainter
{
public:
	static const int kSize = 64;

	paint::CCanvas paint() const;
};

} // namespace artgen
