#pragma once

#include "CMask.h"

#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_STROKER_H

namespace paint
{

struct STextStyle
{
	float size = 64.f;     //!< pixels per em
	float slant = 0.f;     //!< horizontal shear per unit of height (forward lean)
	float tracking = 0.f;  //!< extra letter spacing, in em
};

//! Ink extent of a text, in pixels from the pen start on the baseline (y down).
struct SInkBox
{
	float left = 0.f, top = 0.f, right = 0.f, bottom = 0.f;
	float width() const { return right - left; }
	float height() const { return bottom - top; }
};

//! Lays out one line of text with FreeType and renders it as an anti-aliased coverage mask.
class CTextRenderer
{
public:
	explicit CTextRenderer(const std::string& fontPath);
	~CTextRenderer();
	CTextRenderer(const CTextRenderer&) = delete;
	CTextRenderer& operator=(const CTextRenderer&) = delete;

	bool isLoaded() const { return Face != nullptr; }

	SInkBox measure(const std::string& text, const STextStyle& style);
	//! Pen start that puts the centre of the ink at centreX.
	float penForCentre(const std::string& text, const STextStyle& style, float centreX);
	//! The text's coverage; with stroke > 0 the glyphs are grown by that many pixels all round
	//! (for outlines drawn behind the fill).
	CMask render(const std::string& text, const STextStyle& style, float penX, float baselineY,
		float stroke, int canvasWidth, int canvasHeight);

private:
	struct SPlacedGlyph
	{
		unsigned index;
		float x;
	};

	std::vector<SPlacedGlyph> layout(const std::string& text, const STextStyle& style);

	FT_Library Library = nullptr;
	FT_Face Face = nullptr;
	FT_Stroker Stroker = nullptr;
};

} // namespace paint
