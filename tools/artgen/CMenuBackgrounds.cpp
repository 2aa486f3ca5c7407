#include "CMenuBackgrounds.h"

#include "CDesertBackdrop.h"

#include "tools/paint/CTitlePainter.h"

namespace artgen
{

using namespace paint;

namespace
{

const SColour kCaption = rgb8(255, 232, 210);
const SColour kCaptionShadow = rgb8(20, 6, 30);

// The three deserts. Ranges: band, base, seed; crests (height, wavelength, phase); swell (height,
// wavelength, phase); dunes (crest, height, widths left and right, sharpness); soften; noise.

// Sunset, the sun just right of the buttons, the buggy leaping at the left edge.
SDesertScene mainScene()
{
	SDesertScene s;
	s.light = {0.64f, 0.87f, 0.63f, 0.055f, 0.f};
	s.seed = 301;
	s.ranges = {
		{0, 0.655f, 31, 0.014f, 0.37f, 0.15f, 0.006f, 0.8f, 0.2f, {}, 0, 0.003f, 200.f},
		{1, 0.74f, 32, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.62f, 0.06f, 0.36f, 0.3f, 1.8f}, {1.02f, 0.05f, 0.28f, 0.3f, 1.8f},
				{0.2f, 0.035f, 0.22f, 0.25f, 1.6f}},
			6, 0.003f, 240.f},
		{2, 0.9f, 33, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.09f, 0.2f, 0.3f, 0.32f, 1.7f}, {0.78f, 0.07f, 0.4f, 0.35f, 1.6f}}, 4, 0.004f, 280.f},
		{3, 1.02f, 34, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.9f, 0.13f, 0.6f, 0.4f, 1.5f}, {0.05f, 0.05f, 0.3f, 0.5f, 1.5f}}, 5, 0.004f, 300.f},
	};
	s.leapRange = 2;
	s.leapFrom = 0.03f;
	s.leapTo = 0.12f;
	s.leapScale = 0.042f;
	return s;
}

// After sunset: a low glow on the horizon, stars, a crescent moon, low dunes.
SDesertScene subScene()
{
	SDesertScene s;
	s.light = {0.86f, 0.3f, 0.95f, 0.f, 0.85f};
	s.seed = 302;
	s.ranges = {
		{0, 0.87f, 41, 0.012f, 0.33f, 0.4f, 0.f, 0.f, 0.f, {}, 0, 0.003f, 200.f},
		{2, 0.95f, 42, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.15f, 0.06f, 0.3f, 0.35f, 1.7f}, {0.85f, 0.075f, 0.4f, 0.3f, 1.7f}}, 4, 0.003f, 260.f},
		{3, 1.01f, 43, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, {{0.5f, 0.03f, 0.5f, 0.5f, 1.4f}}, 0, 0.003f, 300.f},
	};
	s.moonX = 0.86f;
	s.moonY = 0.1f;
	s.moonRadius = 0.018f;
	return s;
}

// A big setting sun, the buggy in mid-air in front of it.
SDesertScene loadingScene()
{
	SDesertScene s;
	s.light = {0.66f, 0.6f, 0.6f, 0.1f, 0.f};
	s.seed = 303;
	s.ranges = {
		{0, 0.675f, 51, 0.016f, 0.4f, 0.6f, 0.006f, 0.9f, 0.4f, {}, 0, 0.003f, 220.f},
		{1, 0.76f, 52, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.75f, 0.06f, 0.38f, 0.3f, 1.8f}, {0.1f, 0.04f, 0.3f, 0.25f, 1.6f}}, 6, 0.003f, 260.f},
		{2, 0.92f, 53, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.3f, 0.24f, 0.4f, 0.45f, 1.7f}, {0.98f, 0.08f, 0.3f, 0.3f, 1.6f}}, 4, 0.004f, 300.f},
		{3, 1.01f, 54, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f,
			{{0.85f, 0.12f, 0.55f, 0.4f, 1.5f}, {-0.05f, 0.06f, 0.3f, 0.45f, 1.5f}}, 5, 0.004f, 300.f},
	};
	s.leapRange = 2;
	s.leapFrom = 0.2f;
	s.leapTo = 0.4f;
	s.leapScale = 0.075f;
	return s;
}

} // namespace

CMenuBackgrounds::CMenuBackgrounds(CTextRenderer& text) : Text(text)
{
}

CCanvas CMenuBackgrounds::paintMain()
{
	const SDesertScene scene = mainScene();
	CCanvas canvas(kWidth, kHeight, SColour());
	CDesertBackdrop desert(canvas, scene);
	desert.paint();
	CTitlePainter lettering(Text);
	lettering.paintTitle(canvas, "Sandvolt", kWidth * 0.5f, kHeight * 0.215f, kWidth * 0.4f);
	lettering.paintCaption(canvas, "an off-road racing game", kWidth * 0.5f, kHeight * 0.29f,
		kHeight * 0.032f, kCaption, kCaptionShadow);
	desert.finish();
	return canvas;
}

CCanvas CMenuBackgrounds::paintSub()
{
	const SDesertScene scene = subScene();
	CCanvas canvas(kWidth, kHeight, SColour());
	CDesertBackdrop desert(canvas, scene);
	desert.paint();
	CTitlePainter(Text).paintTitle(canvas, "Sandvolt", kWidth * 0.5f, kHeight * 0.115f, kWidth * 0.2f);
	desert.finish();
	return canvas;
}

CCanvas CMenuBackgrounds::paintLoading()
{
	const SDesertScene scene = loadingScene();
	CCanvas canvas(kWidth, kHeight, SColour());
	CDesertBackdrop desert(canvas, scene);
	desert.paint();
	CTitlePainter(Text).paintCaption(canvas, "Loading...", kWidth * 0.86f, kHeight * 0.94f,
		kHeight * 0.05f, kCaption, kCaptionShadow);
	desert.finish();
	return canvas;
}

} // namespace artgen
