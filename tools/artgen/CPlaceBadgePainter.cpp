#include "CPlaceBadgePainter.h"

#include "tools/paint/CShapeBuilder.h"
#include "tools/paint/SGradient.h"

#include <algorithm>
#include <cmath>

namespace artgen
{

using namespace paint;

namespace
{

struct SMetal
{
	SColour light, mid, dark;
	const char* suffix;
};

const SMetal kMetals[3] = {
	{rgb8(255, 240, 150), rgb8(236, 176, 36), rgb8(138, 84, 8), "st"},
	{rgb8(250, 252, 255), rgb8(178, 186, 200), rgb8(88, 96, 114), "nd"},
	{rgb8(255, 206, 160), rgb8(196, 118, 58), rgb8(104, 54, 24), "rd"},
};

const float kCentreX = 256.f, kCentreY = 300.f, kTyre = 178.f, kFace = 150.f;

CMask ring(float outer, float inner, int size)
{
	CShapeBuilder b;
	b.addCircle(kCentreX, kCentreY, outer, false, 192);
	b.addCircle(kCentreX, kCentreY, inner, true, 192);
	return CMask::fromShape(b.shape(), size, size);
}

} // namespace

CPlaceBadgePainter::CPlaceBadgePainter(CTextRenderer& text) : Text(text)
{
}

CCanvas CPlaceBadgePainter::paint(int place)
{
	const int s = kSize;
	const SMetal& metal = kMetals[std::max(1, std::min(3, place)) - 1];
	CCanvas canvas = CCanvas::clear(s, s);

	// Ribbon: two bands from the top edge down behind the medal, in the sunset's colours.
	CShapeBuilder left, right;
	left.addPolygon({{112.f, 0.f}, {214.f, 0.f}, {282.f, 170.f}, {196.f, 200.f}});
	right.addPolygon({{298.f, 0.f}, {400.f, 0.f}, {316.f, 200.f}, {230.f, 170.f}});
	const CMask leftBand = CMask::fromShape(left.shape(), s, s);
	const CMask rightBand = CMask::fromShape(right.shape(), s, s);
	const auto stripes = [&](float phase) {
		return [&, phase](int x, int y) {
			const float u = std::fmod((x + y * 0.4f) / 34.f + phase, 3.f);
			const SColour base = u < 1.f ? rgb8(200, 52, 62) : u < 2.f ? rgb8(246, 150, 40) : rgb8(84, 30, 92);
			return base * (1.f - 0.35f * smoothstep(60.f, 200.f, static_cast<float>(y)));
		};
	};
	canvas.paintMask(rightBand, stripes(0.5f));
	canvas.paintMask(leftBand, stripes(0.f));

	// Shadow of the medal on whatever lies behind it.
	CShapeBuilder tyreShape;
	tyreShape.addTyre(kCentreX, kCentreY, kTyre, 26, 14.f);
	const CMask tyre = CMask::fromShape(tyreShape.shape(), s, s);
	canvas.fillMask(tyre.blurred(8.f, s, s).shifted(6, 9), SColour(), 0.45f);

	// Knobby rim, lit from the top left.
	const float lightX = -0.6f, lightY = -0.8f;
	const auto lit = [&](int x, int y) {
		const float dx = (x + 0.5f - kCentreX) / kTyre, dy = (y + 0.5f - kCentreY) / kTyre;
		return clamp01(0.5f + 0.5f * (dx * lightX + dy * lightY));
	};
	canvas.paintMask(tyre, [&](int x, int y) { return mix(metal.dark * 0.7f, metal.mid, lit(x, y)); });
	canvas.fillMask(ring(kTyre - 4.f, kFace + 6.f, s), metal.dark * 0.55f, 0.5f);

	// The face: brushed metal from light to dark across the light, a bright bevel round it.
	canvas.fillMask(ring(kFace + 8.f, kFace, s), metal.light);
	const CMask face = CMask::circle(kCentreX, kCentreY, kFace, s, s);
	const SGradient faceRamp({{0.f, metal.dark}, {0.55f, metal.mid}, {1.f, metal.light}});
	canvas.paintMask(face, [&](int x, int y) { return faceRamp.at(lit(x, y) * 1.1f - 0.05f); });
	canvas.fillMask(ring(kFace - 14.f, kFace - 18.f, s), metal.dark, 0.5f);

	// The place, engraved: dark cut, light lip on the lower right edge.
	STextStyle big;
	big.size = 220.f;
	big.slant = 0.12f;
	STextStyle small = big;
	small.size = 80.f;
	const std::string digit = std::to_string(std::max(1, std::min(3, place)));
	const SInkBox digitInk = Text.measure(digit, big);
	const SInkBox suffixInk = Text.measure(metal.suffix, small);
	const float gap = 6.f;
	const float total = digitInk.width() + gap + suffixInk.width();
	const float digitPen = kCentreX - total * 0.5f - digitInk.left;
	const float baseline = kCentreY - (digitInk.top + digitInk.bottom) * 0.5f;
	const float suffixPen = digitPen + digitInk.right + gap - suffixInk.left;
	const float suffixBase = baseline + digitInk.top - small.size * 0.05f - suffixInk.top;
	const CMask digitMask = Text.render(digit, big, digitPen, baseline, 0.f, s, s);
	const CMask suffixMask = Text.render(metal.suffix, small, suffixPen, suffixBase, 0.f, s, s);
	for (const CMask* m : {&digitMask, &suffixMask})
	{
		canvas.fillMask(m->shifted(3, 3), metal.light, 0.9f);
		canvas.fillMask(*m, metal.dark * 0.6f);
	}

	// A soft sheen across the face.
	canvas.shade([&](int x, int y, SColour& c) {
		const float cover = face.at(x, y);
		if (cover <= 0.f)
			return;
		const float across = (x - kCentreX) * 0.7f + (y - kCentreY) * 0.7f + 60.f;
		const float band = std::exp(-across * across / (2.f * 38.f * 38.f));
		c = mix(c, SColour(1.f, 1.f, 1.f), 0.22f * band * cover);
	});
	return canvas;
}

} // namespace artgen
