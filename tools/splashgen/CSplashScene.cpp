#include "CSplashScene.h"

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

CSplashScene::CSplashScene(CTextRenderer& text) : Text(text)
{
}

void CSplashScene::paint(CCanvas& canvas)
{
	const int w = canvas.width(), h = canvas.height();
	const float sunX = w * 0.66f, sunY = h * 0.585f, sunR = w * 0.085f;
	const CNoise noise(2024);

	// Sky: night still hanging over the top, the sunset burning along the horizon.
	const SGradient sky({{0.00f, rgb8(16, 12, 44)}, {0.20f, rgb8(46, 22, 76)},
		{0.38f, rgb8(138, 44, 92)}, {0.50f, rgb8(226, 98, 70)}, {0.60f, rgb8(255, 178, 96)},
		{0.66f, rgb8(255, 214, 140)}});
	canvas.shade([&](int x, int y, SColour& c) {
		const float px = x + 0.5f, py = y + 0.5f;
		c = sky.at(py / h);
		const float dx = px - sunX, dy = (py - sunY) * 1.25f;
		const float d = std::sqrt(dx * dx + dy * dy);
		c += rgb8(255, 140, 60) * (0.55f * std::exp(-d / (sunR * 1.6f)));
		c += rgb8(255, 120, 80) * (0.22f * std::exp(-d / (sunR * 5.f)));
		// A few faint stars where the sky is still dark.
		const float dark = 1.f - smoothstep(0.05f, 0.3f, py / h);
		if (dark > 0.f)
		{
			const int cx = x / 24, cy = y / 24;
			if (noise.hash(cx, cy + 9000) > 0.93f)
			{
				const float sx = cx * 24 + 4 + noise.hash(cx, cy) * 16;
				const float sy = cy * 24 + 4 + noise.hash(cy, cx) * 16;
				const float r2 = (px - sx) * (px - sx) + (py - sy) * (py - sy);
				c += SColour(1.f, 0.95f, 0.9f) * (dark * 0.8f * std::exp(-r2 / 1.6f));
			}
		}
	});

	// Long thin clouds catching the last light.
	canvas.shade([&](int x, int y, SColour& c) {
		const float py = y + 0.5f;
		const float band = smoothstep(0.30f, 0.40f, py / h) * (1.f - smoothstep(0.50f, 0.56f, py / h));
		if (band <= 0.f)
			return;
		const float n = noise.fbm(x / 520.f, py / 38.f, 5);
		const float cloud = smoothstep(0.52f, 0.72f, n) * band;
		const float glow = std::exp(-std::fabs(x + 0.5f - sunX) / (w * 0.35f));
		const SColour tint = mix(rgb8(120, 40, 90), rgb8(255, 150, 110), 0.35f + 0.65f * glow);
		c = mix(c, tint, cloud * 0.7f);
	});

	// The sun, low and swollen, with a hot core.
	const CMask sun = CMask::circle(sunX, sunY, sunR, w, h);
	canvas.paintMask(sun, [&](int, int y) {
		const float t = clamp01((y + 0.5f - (sunY - sunR)) / (2.f * sunR));
		return mix(rgb8(255, 250, 214), rgb8(255, 190, 96), t);
	});

	CDuneLayer far(w, h * 0.625f, 11);
	far.addCrests(h * 0.016f, w * 0.42f, 0.2f, 1.6f);
	far.addSwell(h * 0.006f, w * 0.9f, 0.1f);
	far.addNoise(h * 0.003f, 220.f);
	SDuneLook farLook;
	farLook.lit = rgb8(226, 128, 102);
	farLook.shade = rgb8(168, 78, 96);
	farLook.deep = rgb8(150, 70, 92);
	farLook.depth = 120.f;
	farLook.rim = rgb8(255, 190, 120) * 0.5f;
	farLook.rimWidth = 3.f;
	far.paint(canvas, farLook);

	CDuneLayer mid(w, h * 0.70f, 12);
	mid.addDune(w * 0.66f, h * 0.06f, w * 0.38f, w * 0.26f, 1.8f);
	mid.addDune(w * 1.05f, h * 0.045f, w * 0.3f, w * 0.3f, 1.8f);
	mid.addDune(w * 0.08f, h * 0.035f, w * 0.25f, w * 0.22f, 1.6f);
	mid.soften(6);
	mid.addNoise(h * 0.003f, 260.f);
	SDuneLook midLook;
	midLook.lit = rgb8(214, 104, 70);
	midLook.shade = rgb8(120, 46, 70);
	midLook.deep = rgb8(96, 36, 62);
	midLook.depth = 200.f;
	midLook.rim = rgb8(255, 170, 100) * 0.6f;
	midLook.rimWidth = 4.f;
	mid.paint(canvas, midLook);

	CDuneLayer nearDune(w, h * 0.88f, 13);
	nearDune.addDune(w * 0.30f, h * 0.24f, w * 0.5f, w * 0.6f, 1.7f);
	nearDune.addDune(w * 0.98f, h * 0.08f, w * 0.35f, w * 0.3f, 1.6f);
	nearDune.soften(4);
	nearDune.addNoise(h * 0.004f, 300.f);

	// The buggy leaves the crest nose-up; its dust hangs behind over the crest and the slope.
	const CBuggyShape buggy;
	const float crestX = nearDune.crestBetween(w * 0.2f, w * 0.5f);
	const float crestY = nearDune.ridgeAt(crestX);
	const float scale = w * 0.1f;
	const float bx = crestX + scale * 1.05f;
	const float by = crestY - scale * 0.42f;
	const float tilt = -0.13f;

	CDustPlume dust(77);
	const SPoint lip = {crestX - scale * 0.1f, crestY + scale * 0.02f};
	dust.addTrail(lip, {lip.x - scale * 2.4f, lip.y - scale * 0.9f}, scale * 0.12f,
		scale * 0.5f, 80, 1.3f);
	dust.addTrail({lip.x - scale * 0.1f, lip.y + scale * 0.15f},
		{lip.x - scale * 1.8f, lip.y + scale * 0.35f}, scale * 0.14f, scale * 0.4f, 40, 1.0f);
	dust.addTrail({lip.x + scale * 0.15f, lip.y - scale * 0.05f},
		{lip.x + scale * 0.6f, lip.y - scale * 0.3f}, scale * 0.1f, scale * 0.2f, 10, 0.8f);
	const CMask dustMask = dust.mask(scale * 0.22f, w, h);
	const CMask dustShape = dustMask.blurred(scale * 0.12f, w, h);

	SDuneLook nearLook;
	nearLook.lit = rgb8(232, 134, 72);
	nearLook.shade = rgb8(92, 32, 50);
	nearLook.deep = rgb8(62, 22, 40);
	nearLook.depth = 420.f;
	nearLook.rim = rgb8(255, 200, 120) * 0.9f;
	nearLook.rimWidth = 5.f;
	nearLook.ripples = 0.05f;
	nearDune.paint(canvas, nearLook);

	canvas.paintMask(dustMask, [&](int x, int y) {
		// Billows catch the sun on the side that faces it; the rest takes the dune's dusk.
		const float lit = CDustPlume::lighting(dustShape, x, y, 18, -8);
		const float low = smoothstep(h * 0.62f, h * 0.8f, static_cast<float>(y));
		const SColour shadow = mix(rgb8(196, 106, 92), rgb8(132, 56, 70), low);
		return mix(shadow, rgb8(255, 204, 142), lit);
	}, 0.95f);

	// Silhouette against the sky, with a hairline of sunlight on its sun-facing edges.
	const CMask body = CMask::fromShape(buggy.placed(scale, tilt, bx, by), w, h);
	canvas.fillMask(body, rgb8(255, 196, 128));
	canvas.fillMask(body.shifted(-3, 2), rgb8(26, 8, 20));

	CDuneLayer front(w, h * 1.0f, 14);
	front.addDune(w * 0.86f, h * 0.14f, w * 0.65f, w * 0.45f, 1.5f);
	front.addDune(-w * 0.1f, h * 0.06f, w * 0.3f, w * 0.5f, 1.5f);
	front.soften(5);
	front.addNoise(h * 0.004f, 300.f);
	SDuneLook frontLook;
	frontLook.lit = rgb8(150, 62, 52);
	frontLook.shade = rgb8(46, 14, 30);
	frontLook.deep = rgb8(30, 8, 22);
	frontLook.depth = 260.f;
	frontLook.rim = rgb8(255, 160, 96) * 0.7f;
	frontLook.rimWidth = 6.f;
	frontLook.ripples = 0.08f;
	front.paint(canvas, frontLook);

	CTitlePainter lettering(Text);
	lettering.paintTitle(canvas, "Sandvolt", w * 0.5f, h * 0.25f, w * 0.72f);
	lettering.paintCaption(canvas, "an off-road racing game", w * 0.5f, h * 0.33f, h * 0.036f,
		rgb8(255, 232, 210), rgb8(20, 6, 30));

	// Soft vignette and a little film grain.
	const CNoise grain(99);
	canvas.shade([&](int x, int y, SColour& c) {
		const float dx = (x + 0.5f) / w - 0.5f, dy = (y + 0.5f) / h - 0.5f;
		const float v = 1.f - 0.35f * smoothstep(0.35f, 0.8f, std::sqrt(dx * dx + dy * dy));
		const float g = (grain.hash(x, y) - 0.5f) * 0.03f;
		c = c * v + SColour(g, g, g);
	});
}

} // namespace splashgen
