#include "CSplashPoster.h"

#include "tools/paint/CBuggyShape.h"
#include "tools/paint/CDuneLayer.h"
#include "tools/paint/CDustPlume.h"
#include "tools/paint/CNoise.h"
#include "tools/paint/CTitlePainter.h"
#include "tools/paint/SGradient.h"

#include <cmath>

namespace splashgen
{

using namespace paint;

CSplashPoster::CSplashPoster(CTextRenderer& text) : Text(text)
{
}

void CSplashPoster::paint(CCanvas& canvas)
{
	const int w = canvas.width() / 2, h = canvas.height();
	const float margin = w * 0.07f;
	const float cardLeft = margin, cardTop = margin, cardRight = w - margin, cardBottom = h - margin;
	const float cx = w * 0.5f;
	const CNoise noise(4711);

	// The artwork is painted on its own canvas and laid into the rounded card afterwards.
	CCanvas art(w, h, SColour());
	const float horizon = h * 0.655f;
	const float sunY = h * 0.50f, sunR = w * 0.34f;
	const SGradient sky({{0.00f, rgb8(20, 14, 52)}, {0.22f, rgb8(52, 24, 86)},
		{0.42f, rgb8(150, 46, 98)}, {0.56f, rgb8(236, 104, 72)}, {0.655f, rgb8(255, 196, 116)}});
	art.shade([&](int x, int y, SColour& c) {
		const float px = x + 0.5f, py = y + 0.5f;
		c = sky.at(py / h);
		const float dx = px - cx, dy = py - sunY;
		const float d = std::sqrt(dx * dx + dy * dy);
		c += rgb8(255, 120, 70) * (0.35f * std::exp(-std::max(0.f, d - sunR) / (sunR * 0.5f)));
		const float dark = 1.f - smoothstep(0.08f, 0.32f, py / h);
		const int gx = x / 20, gy = y / 20;
		if (dark > 0.f && noise.hash(gx, gy + 500) > 0.92f)
		{
			const float sx = gx * 20 + 3 + noise.hash(gx, gy) * 14;
			const float sy = gy * 20 + 3 + noise.hash(gy, gx) * 14;
			const float r2 = (px - sx) * (px - sx) + (py - sy) * (py - sy);
			c += SColour(1.f, 0.95f, 0.9f) * (dark * 0.75f * std::exp(-r2 / 1.4f));
		}
	});

	// Retro sunset sun: gold to rose, cut by bands that widen towards the horizon.
	const CMask sun = CMask::circle(cx, sunY, sunR, w, h);
	const float bandsFrom = sunY - sunR * 0.05f;
	art.paintMask(sun, [&](int x, int y) {
		const float py = y + 0.5f;
		const float t = clamp01((py - (sunY - sunR)) / (2.f * sunR));
		SColour c = mix(rgb8(255, 246, 170), rgb8(255, 96, 110), smoothstep(0.15f, 1.f, t));
		if (py > bandsFrom)
		{
			const float period = sunR * 0.16f;
			const float u = (py - bandsFrom) / period;
			const float gap = 0.1f + 0.5f * clamp01((py - bandsFrom) / (sunY + sunR - bandsFrom));
			const float f = u - std::floor(u);
			// Anti-aliased band edges: coverage of the gap over this pixel row.
			const float edge = 1.f / period;
			const float inGap = smoothstep(-edge, edge, f - (1.f - gap)) ;
			const SColour behind = art.at(x, y);
			c = mix(c, behind, inGap);
		}
		return c;
	});

	CDuneLayer far(w, horizon + h * 0.01f, 21);
	far.addCrests(h * 0.014f, w * 0.6f, 0.3f, 1.6f);
	far.addNoise(h * 0.003f, 200.f);
	SDuneLook farLook;
	farLook.lit = rgb8(222, 120, 100);
	farLook.shade = rgb8(160, 70, 96);
	farLook.deep = rgb8(140, 62, 90);
	farLook.depth = 100.f;
	farLook.rim = rgb8(255, 190, 120) * 0.5f;
	farLook.rimWidth = 3.f;
	far.paint(art, farLook);

	CDuneLayer mid(w, h * 0.75f, 22);
	mid.addDune(w * 0.78f, h * 0.06f, w * 0.5f, w * 0.35f, 1.8f);
	mid.addDune(w * 0.02f, h * 0.035f, w * 0.3f, w * 0.4f, 1.6f);
	mid.soften(5);
	mid.addNoise(h * 0.003f, 220.f);
	SDuneLook midLook;
	midLook.lit = rgb8(212, 100, 70);
	midLook.shade = rgb8(112, 42, 68);
	midLook.deep = rgb8(90, 32, 60);
	midLook.depth = 160.f;
	midLook.rim = rgb8(255, 170, 100) * 0.6f;
	midLook.rimWidth = 4.f;
	mid.paint(art, midLook);

	// The launch crest, lower left; the buggy is in the air over the sun.
	CDuneLayer ramp(w, h * 0.91f, 23);
	ramp.addDune(w * 0.27f, h * 0.16f, w * 0.55f, w * 0.55f, 1.7f);
	ramp.addDune(w * 1.05f, h * 0.07f, w * 0.4f, w * 0.3f, 1.6f);
	ramp.soften(4);
	ramp.addNoise(h * 0.003f, 260.f);
	const float lipX = ramp.crestBetween(0.f, w * 0.6f);
	const float lipY = ramp.ridgeAt(lipX);
	const float scale = w * 0.23f;

	CDustPlume dust(5);
	dust.addTrail({lipX, lipY}, {lipX - scale * 1.2f, lipY - scale * 0.8f}, scale * 0.1f,
		scale * 0.4f, 70, 1.8f);
	dust.addTrail({lipX, lipY + scale * 0.1f}, {lipX - scale * 1.2f, lipY + scale * 0.3f},
		scale * 0.12f, scale * 0.35f, 30, 1.0f);
	const CMask dustMask = dust.mask(scale * 0.2f, w, h);
	const CMask dustShape = dustMask.blurred(scale * 0.1f, w, h);

	SDuneLook rampLook;
	rampLook.lit = rgb8(230, 130, 72);
	rampLook.shade = rgb8(86, 30, 48);
	rampLook.deep = rgb8(60, 20, 38);
	rampLook.depth = 360.f;
	rampLook.rim = rgb8(255, 200, 120) * 0.9f;
	rampLook.rimWidth = 5.f;
	rampLook.ripples = 0.06f;
	rampLook.lightFromRight = -1.f;
	ramp.paint(art, rampLook);

	art.paintMask(dustMask, [&](int x, int y) {
		const float lit = CDustPlume::lighting(dustShape, x, y, 12, -14);
		const float low = smoothstep(h * 0.72f, h * 0.86f, static_cast<float>(y));
		const SColour shadow = mix(rgb8(196, 106, 92), rgb8(132, 56, 70), low);
		return mix(shadow, rgb8(255, 206, 146), lit);
	}, 0.95f);

	// In the air over the lower sun, nose up, with the bands showing through its wheels.
	const CBuggyShape buggy;
	const CMask body =
		CMask::fromShape(buggy.placed(scale, -0.2f, w * 0.57f, h * 0.655f), w, h);
	art.fillMask(body, rgb8(255, 214, 150));
	art.fillMask(body.shifted(-3, 3), rgb8(26, 8, 20));

	// Card with a soft shadow on the white page, and a fine inner frame.
	const CMask card = CMask::roundedRect(cardLeft, cardTop, cardRight, cardBottom, w * 0.055f, w, h);
	canvas.fillMask(card.blurred(w * 0.02f, w, h).shifted(0, static_cast<int>(w * 0.012f)),
		rgb8(90, 70, 80), 0.35f);
	canvas.paintMask(card, [&](int x, int y) { return art.at(x, y); });
	const float inset = w * 0.025f;
	const CMask frameOuter = CMask::roundedRect(cardLeft + inset, cardTop + inset,
		cardRight - inset, cardBottom - inset, w * 0.04f, w, h);
	const float line = std::max(2.f, w * 0.004f);
	const CMask frameInner = CMask::roundedRect(cardLeft + inset + line, cardTop + inset + line,
		cardRight - inset - line, cardBottom - inset - line, w * 0.04f - line, w, h);
	canvas.shade([&](int x, int y, SColour& c) {
		const float ring = frameOuter.at(x, y) - frameInner.at(x, y);
		if (ring > 0.f)
			c = mix(c, rgb8(255, 226, 180), ring * 0.55f);
	});

	CTitlePainter lettering(Text);
	lettering.paintTitle(canvas, "Sandvolt", cx, h * 0.16f, (cardRight - cardLeft) * 0.8f);
	lettering.paintCaption(canvas, "an off-road racing game", cx, h * 0.205f, h * 0.02f,
		rgb8(255, 232, 210), rgb8(20, 6, 30));

	const CNoise grain(98);
	canvas.shade([&](int x, int y, SColour& c) {
		const float inside = card.at(x, y);
		if (inside <= 0.f)
			return;
		const float g = (grain.hash(x, y) - 0.5f) * 0.03f * inside;
		c += SColour(g, g, g);
	});
}

} // namespace splashgen
