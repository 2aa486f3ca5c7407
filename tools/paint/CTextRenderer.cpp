#include "CTextRenderer.h"

#include FT_GLYPH_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace paint
{

CTextRenderer::CTextRenderer(const std::string& fontPath)
{
	if (FT_Init_FreeType(&Library) != 0)
	{
		Library = nullptr;
		printf("ERROR: the font library could not be started\n");
		return;
	}
	if (FT_New_Face(Library, fontPath.c_str(), 0, &Face) != 0)
	{
		Face = nullptr;
		printf("ERROR: font \"%s\" could not be read\n", fontPath.c_str());
		return;
	}
	FT_Stroker_New(Library, &Stroker);
}

CTextRenderer::~CTextRenderer()
{
	if (Stroker)
		FT_Stroker_Done(Stroker);
	if (Face)
		FT_Done_Face(Face);
	if (Library)
		FT_Done_FreeType(Library);
}

std::vector<CTextRenderer::SPlacedGlyph> CTextRenderer::layout(
	const std::string& text, const STextStyle& style)
{
	std::vector<SPlacedGlyph> glyphs;
	if (!Face)
		return glyphs;
	FT_Set_Char_Size(Face, 0, static_cast<FT_F26Dot6>(std::lround(style.size * 64.f)), 72, 72);
	FT_Matrix shear;
	shear.xx = 0x10000;
	shear.xy = static_cast<FT_Fixed>(std::lround(style.slant * 65536.f));
	shear.yx = 0;
	shear.yy = 0x10000;
	FT_Set_Transform(Face, &shear, nullptr);

	float pen = 0.f;
	unsigned previous = 0;
	for (unsigned char c : text)
	{
		const unsigned index = FT_Get_Char_Index(Face, c);
		if (previous && index && FT_HAS_KERNING(Face))
		{
			FT_Vector kern;
			if (FT_Get_Kerning(Face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
				pen += kern.x / 64.f;
		}
		glyphs.push_back({index, pen});
		if (FT_Load_Glyph(Face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0)
			pen += Face->glyph->advance.x / 64.f;
		pen += style.tracking * style.size;
		previous = index;
	}
	return glyphs;
}

SInkBox CTextRenderer::measure(const std::string& text, const STextStyle& style)
{
	SInkBox box;
	bool first = true;
	for (const SPlacedGlyph& g : layout(text, style))
	{
		if (FT_Load_Glyph(Face, g.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
			continue;
		if (Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || Face->glyph->outline.n_points == 0)
			continue;
		FT_BBox cbox;
		FT_Outline_Get_CBox(&Face->glyph->outline, &cbox);
		const float l = g.x + cbox.xMin / 64.f, r = g.x + cbox.xMax / 64.f;
		const float t = -cbox.yMax / 64.f, b = -cbox.yMin / 64.f;
		if (first)
			box = {l, t, r, b};
		box.left = std::min(box.left, l);
		box.right = std::max(box.right, r);
		box.top = std::min(box.top, t);
		box.bottom = std::max(box.bottom, b);
		first = false;
	}
	return box;
}

float CTextRenderer::penForCentre(const std::string& text, const STextStyle& style, float centreX)
{
	const SInkBox box = measure(text, style);
	return centreX - (box.left + box.right) * 0.5f;
}

CMask CTextRenderer::render(const std::string& text, const STextStyle& style, float penX,
	float baselineY, float stroke, int canvasWidth, int canvasHeight)
{
	struct SBitmap
	{
		int x, y, width, rows;
		std::vector<unsigned char> pixels;
	};
	std::vector<SBitmap> bitmaps;
	if (stroke > 0.f && Stroker)
		FT_Stroker_Set(Stroker, static_cast<FT_Fixed>(std::lround(stroke * 64.f)),
			FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);

	const float baseFloor = std::floor(baselineY);
	for (const SPlacedGlyph& g : layout(text, style))
	{
		if (FT_Load_Glyph(Face, g.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
			continue;
		FT_Glyph glyph;
		if (FT_Get_Glyph(Face->glyph, &glyph) != 0)
			continue;
		if (stroke > 0.f && Stroker)
			FT_Glyph_StrokeBorder(&glyph, Stroker, 0, 1);
		// Whole pixels go to the bitmap position, the fraction into the outline, so letters sit
		// where the layout put them instead of snapping to the pixel grid.
		const float x = penX + g.x;
		const float xFloor = std::floor(x);
		FT_Vector origin;
		origin.x = static_cast<FT_Pos>(std::lround((x - xFloor) * 64.f));
		origin.y = -static_cast<FT_Pos>(std::lround((baselineY - baseFloor) * 64.f));
		if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, &origin, 1) == 0)
		{
			const FT_BitmapGlyph bg = reinterpret_cast<FT_BitmapGlyph>(glyph);
			const FT_Bitmap& bm = bg->bitmap;
			SBitmap out{static_cast<int>(xFloor) + bg->left, static_cast<int>(baseFloor) - bg->top,
				static_cast<int>(bm.width), static_cast<int>(bm.rows), {}};
			out.pixels.resize(static_cast<size_t>(out.width) * out.rows);
			const int pitch = std::abs(bm.pitch);
			for (int r = 0; r < out.rows; ++r)
			{
				const int sourceRow = bm.pitch >= 0 ? r : out.rows - 1 - r;
				std::copy(bm.buffer + static_cast<size_t>(sourceRow) * pitch,
					bm.buffer + static_cast<size_t>(sourceRow) * pitch + out.width,
					out.pixels.begin() + static_cast<size_t>(r) * out.width);
			}
			if (out.width > 0 && out.rows > 0)
				bitmaps.push_back(std::move(out));
		}
		FT_Done_Glyph(glyph);
	}
	if (bitmaps.empty())
		return CMask();

	int left = canvasWidth, top = canvasHeight, right = 0, bottom = 0;
	for (const SBitmap& b : bitmaps)
	{
		left = std::min(left, b.x);
		top = std::min(top, b.y);
		right = std::max(right, b.x + b.width);
		bottom = std::max(bottom, b.y + b.rows);
	}
	left = std::max(0, left);
	top = std::max(0, top);
	right = std::min(canvasWidth, right);
	bottom = std::min(canvasHeight, bottom);
	CMask mask(left, top, right - left, bottom - top);
	for (const SBitmap& b : bitmaps)
	{
		for (int r = 0; r < b.rows; ++r)
		{
			const int y = b.y + r - top;
			if (y < 0 || y >= mask.height())
				continue;
			float* line = mask.row(y);
			for (int c = 0; c < b.width; ++c)
			{
				const int x = b.x + c - left;
				if (x < 0 || x >= mask.width())
					continue;
				// Neighbouring letters may overlap once stroked; keep the stronger coverage.
				line[x] = std::max(line[x], b.pixels[static_cast<size_t>(r) * b.width + c] / 255.f);
			}
		}
	}
	return mask;
}

} // namespace paint
