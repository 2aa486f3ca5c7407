#include "CButtonPainter.h"

#include "tools/paint/CShapeBuilder.h"
#include "tools/paint/SGradient.h"

#include <algorithm>
#include <cmath>

namespace artgen
{

using namespace paint;

namespace
{

// The menus' text colours: amber, and the brighter yellow under the mouse.
const SColour kAmber = rgb8(214, 153, 0);
const SColour kYellow = rgb8(242, 198, 1);
const SColour kInk = rgb8(34, 10, 28);

// The plate leans forward like the title's letters.
const float kTop = 12.f, kBottom = 68.f, kLean = 16.f, kLeft = 28.f, kRight = 996.f;

std::vector<SPoint> plateOutline(float inset)
{
	const float top = kTop + inset, bottom = kBottom - inset;
	// Moving the slanted ends in along the horizontal keeps the rim equally thick all round.
	const float side = inset * std::sqrt(1.f + (kLean / (kBottom - kTop)) * (kLean / (kBottom - kTop)));
	const float shiftTop = kLean * (inset / (kBottom - kTop));
	return {{kLeft + kLean - shiftTop + side, top}, {kRight + kLean - shiftTop - side, top},
		{kRight + shiftTop - side, bottom}, {kLeft + shiftTop + side, bottom}};
}

CMask frame(float outer, float inner)
{
	CShapeBuilder b;
	b.addPolygon(plateOutline(outer));
	b.addPolygon(plateOutline(inner), true);
	return CMask::fromShape(b.shape(), CButtonPainter::kWidth, CButtonPainter::kHeight);
}

CMask chevron(float tipX, float centreY, float size, bool pointsRight)
{
	const float d = pointsRight ? 1.f : -1.f;
	CShapeBuilder b;
	b.addPolygon({{tipX - d * size * 0.9f, centreY - size}, {tipX - d * size * 0.35f, centreY - size},
		{tipX + d * size * 0.25f, centreY}, {tipX - d * size * 0.35f, centreY + size},
		{tipX - d * size * 0.9f, centreY + size}, {tipX - d * size * 0.3f, centreY}});
	return CMask::fromShape(b.shape(), CButtonPainter::kWidth, CButtonPainter::kHeight);
}

} // namespace

CButtonPainter::CButtonPainter(CTextRenderer& text) : Text(text)
{
}

CCanvas CButtonPainter::paint(const std::string& word, bool hover)
{
	const int w = kWidth, h = kHeight;
	CCanvas canvas = CCanvas::clear(w, h);

	CShapeBuilder plateShape;
	plateShape.addPolygon(plateOutline(0.f));
	const CMask plate = CMask::fromShape(plateShape.shape(), w, h);

	// Glow round the lit plate, then the plate itself: dusk purple, a glassy lighter top half.
	if (hover)
		canvas.fillMask(frame(-1.f, 2.f).blurred(5.f, w, h), kYellow, 0.55f);
	const SGradient body = hover
		? SGradient({{0.f, rgb8(176, 78, 68)}, {0.48f, rgb8(138, 50, 64)}, {0.52f, rgb8(104, 30, 58)},
			  {1.f, rgb8(62, 14, 44)}})
		: SGradient({{0.f, rgb8(78, 34, 68)}, {0.48f, rgb8(60, 24, 58)}, {0.52f, rgb8(42, 15, 44)},
			  {1.f, rgb8(26, 8, 30)}});
	canvas.paintMask(plate, [&](int, int y) { return body.at((y + 0.5f - kTop) / (kBottom - kTop)); },
		hover ? 0.92f : 0.84f);

	// Speed streaks trailing from the left end.
	for (int i = 0; i < 3; ++i)
	{
		CShapeBuilder streak;
		const float x = 70.f + i * 26.f;
		streak.addPolygon({{x + 12.f, kTop + 9.f}, {x + 24.f, kTop + 9.f}, {x + 4.f, kBottom - 9.f},
			{x - 8.f, kBottom - 9.f}});
		canvas.fillMask(CMask::fromShape(streak.shape(), w, h), hover ? kYellow : kAmber,
			(hover ? 0.55f : 0.3f) * (1.f - i * 0.3f));
	}

	canvas.fillMask(frame(0.f, 2.5f), hover ? kYellow : kAmber, hover ? 1.f : 0.85f);

	// The word, centred on its capitals so that descenders do not lift it.
	STextStyle style;
	style.size = 46.f;
	style.slant = 0.14f;
	style.tracking = 0.03f;
	const SInkBox caps = Text.measure("H", style);
	const float baseline = (kTop + kBottom) * 0.5f - (caps.top + caps.bottom) * 0.5f;
	const float pen = Text.penForCentre(word, style, w * 0.5f);
	const CMask fill = Text.render(word, style, pen, baseline, 0.f, w, h);
	const CMask outline = Text.render(word, style, pen, baseline, 3.f, w, h);

	if (hover)
	{
		const SInkBox ink = Text.measure(word, style);
		const float mid = (kTop + kBottom) * 0.5f;
		canvas.fillMask(chevron(pen + ink.left - 22.f, mid, 13.f, true), kYellow);
		canvas.fillMask(chevron(pen + ink.right + 22.f, mid, 13.f, false), kYellow);
		canvas.fillMask(outline.blurred(7.f, w, h), kYellow, 0.45f);
	}
	canvas.fillMask(outline.blurred(2.5f, w, h).shifted(2, 3), SColour(), 0.6f);
	canvas.fillMask(outline, kInk);
	const float capTop = baseline + caps.top;
	const SGradient letters = hover
		? SGradient({{0.f, rgb8(255, 244, 170)}, {0.55f, rgb8(255, 214, 60)}, {1.f, kYellow}})
		: SGradient({{0.f, rgb8(246, 196, 84)}, {0.55f, rgb8(226, 164, 18)}, {1.f, kAmber}});
	canvas.paintMask(fill, [&](int, int y) { return letters.at((y + 0.5f - capTop) / (baseline - capTop)); });
	return canvas;
}

} // namespace artgen
