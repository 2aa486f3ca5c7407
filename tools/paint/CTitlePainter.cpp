#include "CTitlePainter.h"

#include "SGradient.h"

namespace paint
{

CTitlePainter::CTitlePainter(CTextRenderer& text) : Text(text)
{
}

float CTitlePainter::paintTitle(CCanvas& canvas, const std::string& title, float centreX,
	float baselineY, float inkWidth)
{
	STextStyle style;
	style.size = 100.f;
	style.slant = 0.2f;
	style.tracking = -0.01f;
	style.size *= inkWidth / Text.measure(title, style).width();

	const int w = canvas.width(), h = canvas.height();
	const float pen = Text.penForCentre(title, style, centreX);
	const SInkBox ink = Text.measure(title, style);
	const float inkTop = baselineY + ink.top, inkBottom = baselineY;

	const float outline = style.size * 0.055f;
	const CMask fill = Text.render(title, style, pen, baselineY, 0.f, w, h);
	const CMask stroke = Text.render(title, style, pen, baselineY, outline, w, h);
	const CMask rim = Text.render(title, style, pen, baselineY, outline * 1.7f, w, h);

	// Soft drop shadow, then a thin light rim round the dark outline so the title holds on
	// dark sky and bright sand alike.
	const int drop = static_cast<int>(style.size * 0.05f);
	canvas.fillMask(rim.blurred(style.size * 0.07f, w, h).shifted(drop, drop), SColour(0, 0, 0),
		0.55f);
	canvas.fillMask(rim, rgb8(255, 226, 170));
	canvas.fillMask(stroke, rgb8(42, 12, 30));

	// Chrome fill: pale gold sky above a hard horizon, hot orange below, like the sun on the
	// dunes.
	const SGradient upper({{0.f, rgb8(255, 253, 232)}, {1.f, rgb8(255, 214, 110)}});
	const SGradient lower({{0.f, rgb8(232, 92, 28)}, {1.f, rgb8(255, 176, 62)}});
	const float horizon = 0.56f;
	canvas.paintMask(fill, [&](int, int y) {
		const float t = (y + 0.5f - inkTop) / (inkBottom - inkTop);
		if (t < horizon)
			return upper.at(t / horizon);
		return lower.at((t - horizon) / (1.f - horizon));
	});
	return style.size;
}

void CTitlePainter::paintCaption(CCanvas& canvas, const std::string& caption, float centreX,
	float baselineY, float size, const SColour& colour, const SColour& shadow)
{
	STextStyle style;
	style.size = size;
	style.slant = 0.12f;
	style.tracking = 0.08f;
	const int w = canvas.width(), h = canvas.height();
	const float pen = Text.penForCentre(caption, style, centreX);
	const CMask fill = Text.render(caption, style, pen, baselineY, 0.f, w, h);
	const int drop = std::max(1, static_cast<int>(size * 0.05f));
	canvas.fillMask(fill.blurred(size * 0.06f, w, h).shifted(drop, drop), shadow, 0.8f);
	canvas.fillMask(fill, colour);
}

} // namespace paint
