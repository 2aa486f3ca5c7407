#include "CCursorPainter.h"

#include "tools/paint/CShapeBuilder.h"
#include "tools/paint/SGradient.h"

namespace artgen
{

using namespace paint;

CCanvas CCursorPainter::paint() const
{
	const int s = kSize;
	CCanvas canvas = CCanvas::clear(s, s);

	// A classic arrow leaning a little forward, in units of the picture's size; the rim is the
	// same outline traced with a round pen.
	const std::vector<SPoint> outline = {{0.f, 0.f}, {0.f, 0.74f}, {0.19f, 0.58f}, {0.33f, 0.88f},
		{0.47f, 0.82f}, {0.33f, 0.53f}, {0.58f, 0.53f}, {0.f, 0.f}};
	const float inset = 4.f, scale = s - 2.f * inset - 6.f;
	CShapeBuilder arrow;
	arrow.addPolygon(outline);
	CShapeBuilder rimShape = arrow;
	rimShape.addTube(outline, 6.f / scale);
	const CMask body = CMask::fromShape(arrow.placed(scale, 0.f, inset, inset), s, s);
	const CMask rim = CMask::fromShape(rimShape.placed(scale, 0.f, inset, inset), s, s);

	canvas.fillMask(rim.blurred(2.5f, s, s).shifted(3, 3), SColour(), 0.5f);
	canvas.fillMask(rim, rgb8(34, 10, 28));
	const SGradient fill({{0.f, rgb8(255, 236, 140)}, {0.45f, rgb8(242, 198, 1)}, {1.f, rgb8(214, 130, 0)}});
	canvas.paintMask(body, [&](int x, int y) { return fill.at((x + y) / (1.2f * s)); });
	return canvas;
}

} // namespace artgen
