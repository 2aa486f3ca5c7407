#include "CDesertBackdrop.h"

#include "tools/paint/CBuggyShape.h"
#include "tools/paint/CDustPlume.h"
#include "tools/paint/SGradient.h"

#include <algorithm>
#include <cmath>

namespace artgen
{

using namespace paint;

namespace
{

// The colours of each range of dunes at sunset, far to near: lit, shade, deep, depth, rim,
// rim width, light from the right, lean, ripples.
const SDuneLook kSunsetLooks[4] = {
	{rgb8(226, 128, 102), rgb8(168, 78, 96), rgb8(150, 70, 92), 120.f, rgb8(255, 190, 120) * 0.5f,
		3.f, 1.f, 0.6f, 0.f},
	{rgb8(214, 104, 70), rgb8(120, 46, 70), rgb8(96, 36, 62), 200.f, rgb8(255, 170, 100) * 0.6f, 4.f,
		1.f, 0.6f, 0.f},
	{rgb8(232, 134, 72), rgb8(92, 32, 50), rgb8(62, 22, 40), 380.f, rgb8(255, 200, 120) * 0.9f, 5.f,
		1.f, 0.6f, 0.05f},
	{rgb8(150, 62, 52), rgb8(46, 14, 30), rgb8(30, 8, 22), 260.f, rgb8(255, 160, 96) * 0.7f, 6.f, 1.f,
		0.6f, 0.08f},
};

} // namespace

CDesertBackdrop::CDesertBackdrop(CCanvas& canvas, const SDesertScene& scene)
	: Canvas(canvas), Scene(scene), Noise(scene.seed)
{
}

void CDesertBackdrop::paint()
{
	paintSky();
	paintMoon();
	for (size_t i = 0; i < Scene.ranges.size(); ++i)
	{
		const CDuneLayer dunes = paintRange(Scene.ranges[i]);
		if (static_cast<int>(i) == Scene.leapRange)
			paintLeap(dunes);
	}
}

void CDesertBackdrop::paintSky()
{
	const int w = Canvas.width(), h = Canvas.height();
	const SDesertLight& light = Scene.light;
	const float horizon = light.horizon * h;
	const float sunX = light.sunX * w, sunY = light.sunY * h, sunR = light.sunRadius * w;
	const float glowR = (sunR > 0.f ? sunR : w * 0.06f);
	// Positions on the ramps are fractions of the way down to the horizon.
	const SGradient sunset({{0.00f, rgb8(18, 12, 46)}, {0.32f, rgb8(48, 22, 80)},
		{0.62f, rgb8(140, 44, 94)}, {0.82f, rgb8(228, 100, 72)}, {1.00f, rgb8(255, 184, 104)}});
	const SGradient dusk({{0.00f, rgb8(8, 8, 28)}, {0.40f, rgb8(22, 14, 54)},
		{0.72f, rgb8(46, 22, 72)}, {0.90f, rgb8(96, 36, 84)}, {1.00f, rgb8(160, 66, 92)}});
	const float night = light.night;
	const float starsDown = 0.35f + 0.45f * night;

	Canvas.shade([&](int x, int y, SColour& c) {
		const float px = x + 0.5f, py = y + 0.5f;
		const float t = py / horizon;
		c = mix(sunset.at(t), dusk.at(t), night);
		// The glow of the sun, wide and low.
		const float dx = px - sunX, dy = (py - sunY) * 1.4f;
		const float d = std::sqrt(dx * dx + dy * dy);
		const float warmth = 1.f - 0.7f * night;
		c += rgb8(255, 140, 60) * (0.5f * warmth * std::exp(-d / (glowR * 1.7f)));
		c += rgb8(255, 110, 80) * (0.2f * warmth * std::exp(-d / (glowR * 5.5f)));

		// Stars in the dark part of the sky: one chance per cell, a soft dot in it.
		const float dark = 1.f - smoothstep(0.05f, starsDown, t);
		if (dark <= 0.f)
			return;
		const int cell = 22;
		const int gx = x / cell, gy = y / cell;
		if (Noise.hash(gx, gy + 7000) < 0.9f)
			return;
		const float sx = gx * cell + 3.f + Noise.hash(gx, gy) * (cell - 6);
		const float sy = gy * cell + 3.f + Noise.hash(gy + 31, gx) * (cell - 6);
		const float r2 = (px - sx) * (px - sx) + (py - sy) * (py - sy);
		const float bright = 0.4f + 0.6f * Noise.hash(gx + 5, gy + 11);
		c += rgb8(255, 244, 230) * (dark * bright * std::exp(-r2 / 1.5f));
	});

	// Long thin clouds catching the last light above the horizon.
	Canvas.shade([&](int x, int y, SColour& c) {
		const float t = (y + 0.5f) / horizon;
		const float band = smoothstep(0.55f, 0.68f, t) * (1.f - smoothstep(0.84f, 0.93f, t));
		if (band <= 0.f)
			return;
		const float n = Noise.fbm(x / (w * 0.27f), (y + 0.5f) / (h * 0.035f), 5);
		const float cloud = smoothstep(0.54f, 0.74f, n) * band;
		const float nearSun = std::exp(-std::fabs(x + 0.5f - sunX) / (w * 0.35f));
		const SColour tint = mix(rgb8(120, 40, 90), rgb8(255, 150, 110), (0.3f + 0.7f * nearSun) * (1.f - night));
		c = mix(c, tint, cloud * (0.7f - 0.3f * night));
	});

	if (sunR <= 0.f)
		return;
	const CMask sun = CMask::circle(sunX, sunY, sunR, w, h);
	Canvas.paintMask(sun, [&](int, int y) {
		const float t = clamp01((y + 0.5f - (sunY - sunR)) / (2.f * sunR));
		return mix(rgb8(255, 250, 214), rgb8(255, 184, 92), t);
	});
}

void CDesertBackdrop::paintMoon()
{
	if (Scene.moonRadius <= 0.f)
		return;
	const int w = Canvas.width();
	const float cx = Scene.moonX * w, cy = Scene.moonY * Canvas.height(), r = Scene.moonRadius * w;
	// The lit disc less a disc shifted towards the upper right: a crescent facing the set sun.
	const float sx = cx + r * 0.42f, sy = cy - r * 0.28f, sr = r * 0.92f;
	Canvas.shade([&](int px, int py, SColour& c) {
		const float fx = px + 0.5f, fy = py + 0.5f;
		const float d = std::sqrt((fx - cx) * (fx - cx) + (fy - cy) * (fy - cy));
		if (d > r * 6.f)
			return;
		const float ds = std::sqrt((fx - sx) * (fx - sx) + (fy - sy) * (fy - sy));
		const float lit = clamp01(r - d + 0.5f) * (1.f - clamp01(sr - ds + 0.5f));
		c += rgb8(150, 120, 170) * (0.12f * std::exp(-d / (r * 1.5f)));
		c = mix(c, rgb8(255, 240, 214), lit);
	});
}

CDuneLayer CDesertBackdrop::paintRange(const SDuneRange& range)
{
	const int w = Canvas.width(), h = Canvas.height();
	CDuneLayer dunes(w, range.baseY * h, range.seed);
	if (range.crestHeight > 0.f)
		dunes.addCrests(range.crestHeight * h, range.crestWavelength * w, range.crestPhase, 1.6f);
	if (range.swellHeight > 0.f)
		dunes.addSwell(range.swellHeight * h, range.swellWavelength * w, range.swellPhase);
	for (const SDuneShape& d : range.dunes)
		dunes.addDune(d.crestX * w, d.height * h, d.leftWidth * w, d.rightWidth * w, d.sharpness);
	if (range.soften > 0)
		dunes.soften(range.soften);
	dunes.addNoise(range.noiseHeight * h, range.noiseSize);

	SDuneLook look = kSunsetLooks[std::max(0, std::min(3, range.band))];
	// Night takes the sun off the faces and the rims first, then darkens the sand itself.
	const SColour nightSand = rgb8(34, 16, 44);
	const float n = Scene.light.night;
	look.lit = mix(look.lit, mix(look.shade, nightSand, 0.4f), n);
	look.shade = mix(look.shade, nightSand, 0.6f * n);
	look.deep = mix(look.deep, nightSand * 0.6f, 0.6f * n);
	look.rim = look.rim * (1.f - 0.75f * n);
	look.depth *= h / 1080.f;
	dunes.paint(Canvas, look);
	return dunes;
}

void CDesertBackdrop::paintLeap(const CDuneLayer& dunes)
{
	const int w = Canvas.width(), h = Canvas.height();
	const SDesertLight& light = Scene.light;
	const float scale = Scene.leapScale * w;
	const float crestX = dunes.crestBetween(Scene.leapFrom * w, Scene.leapTo * w);
	const float crestY = dunes.ridgeAt(crestX);

	// Dust kicked up where the wheels left the sand, streaming back and up the slope.
	CDustPlume dust(Scene.seed + 1);
	const SPoint lip = {crestX - scale * 0.15f, crestY};
	dust.addTrail(lip, {lip.x - scale * 2.2f, lip.y - scale * 1.0f}, scale * 0.12f, scale * 0.5f,
		70, 1.3f);
	dust.addTrail({lip.x, lip.y + scale * 0.1f}, {lip.x - scale * 1.6f, lip.y + scale * 0.3f},
		scale * 0.14f, scale * 0.4f, 36, 1.f);
	const CMask cloud = dust.mask(scale * 0.22f, w, h);
	const CMask form = cloud.blurred(scale * 0.12f, w, h);
	const float sunX = light.sunX * w;
	const int towardsSun = sunX > crestX ? 18 : -18;
	Canvas.paintMask(cloud, [&](int x, int y) {
		const float lit = CDustPlume::lighting(form, x, y, towardsSun, -8);
		const SColour shadow = mix(rgb8(180, 96, 90), rgb8(70, 34, 60), light.night);
		const SColour bright = mix(rgb8(255, 204, 142), rgb8(150, 100, 120), light.night);
		return mix(shadow, bright, lit);
	}, 0.92f);

	// Silhouette against the sky, with a hairline of sunlight on the edges facing the sun.
	const CBuggyShape buggy;
	const CMask body = CMask::fromShape(
		buggy.placed(scale, -0.14f, crestX + scale * 1.05f, crestY - scale * 0.45f), w, h);
	Canvas.fillMask(body, mix(rgb8(255, 196, 128), rgb8(120, 80, 110), light.night));
	Canvas.fillMask(body.shifted(towardsSun > 0 ? -3 : 3, 2), rgb8(26, 8, 20));
}

void CDesertBackdrop::finish()
{
	const int w = Canvas.width(), h = Canvas.height();
	const CNoise grain(Scene.seed + 2);
	Canvas.shade([&](int x, int y, SColour& c) {
		// A vignette kept wider than tall, as the pictures are.
		const float dx = ((x + 0.5f) / w - 0.5f) * 1.2f, dy = (y + 0.5f) / h - 0.5f;
		const float v = 1.f - 0.4f * smoothstep(0.35f, 0.85f, std::sqrt(dx * dx + dy * dy));
		const float g = (grain.hash(x, y) - 0.5f) * 0.025f;
		c = c * v + SColour(g, g, g);
	});
}

} // namespace artgen
