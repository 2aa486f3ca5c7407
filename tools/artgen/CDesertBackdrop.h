#pragma once

#include "tools/paint/CCanvas.h"
#include "tools/paint/CDuneLayer.h"
#include "tools/paint/CNoise.h"

#include <cstdint>
#include <vector>

namespace artgen
{

//! Where the light comes from in a desert picture, as fractions of the picture.
struct SDesertLight
{
	float horizon = 0.62f;    //!< y of the horizon, of the height
	float sunX = 0.8f;        //!< of the width
	float sunY = 0.6f;        //!< of the height
	float sunRadius = 0.07f;  //!< of the width; 0 leaves the sun below the horizon
	float night = 0.f;        //!< 0: the sun just setting, 1: deep dusk
};

//! One dune of a range: crest position and widths as fractions of the width, height of the height.
struct SDuneShape
{
	float crestX, height, leftWidth, rightWidth, sharpness;
};

//! One range of dunes, far (band 0) to the very front (band 3); lengths as fractions of the
//! picture, a height of 0 leaves that part out.
struct SDuneRange
{
	int band;
	float baseY;
	uint32_t seed;
	float crestHeight, crestWavelength, crestPhase;
	float swellHeight, swellWavelength, swellPhase;
	std::vector<SDuneShape> dunes;
	int soften;         //!< pixels
	float noiseHeight;
	float noiseSize;    //!< pixels
};

//! A whole desert picture: the light, the ranges from far to near, and optionally the buggy
//! leaping off the highest crest of one range, and a crescent moon.
struct SDesertScene
{
	SDesertLight light;
	uint32_t seed = 0;
	std::vector<SDuneRange> ranges;
	int leapRange = -1;                //!< index into `ranges`, -1: no buggy
	float leapFrom = 0.f, leapTo = 0.f; //!< where the crest is looked for, of the width
	float leapScale = 0.f;             //!< half the buggy's length, of the width
	float moonX = 0.f, moonY = 0.f, moonRadius = 0.f;  //!< of the width and height; radius 0: none
};

//! The menus' desert at sunset, in layers: sky, ranges of dunes from far to near, the buggy in
//! its dust, and a vignette to finish. The splash images' palette, so the menus follow on from
//! them.
class CDesertBackdrop
{
public:
	CDesertBackdrop(paint::CCanvas& canvas, const SDesertScene& scene);

	//! Everything but the finish, so that lettering can go on before it.
	void paint();
	//! Vignette and a little film grain.
	void finish();

private:
	void paintSky();
	void paintMoon();
	paint::CDuneLayer paintRange(const SDuneRange& range);
	void paintLeap(const paint::CDuneLayer& dunes);

	paint::CCanvas& Canvas;
	const SDesertScene& Scene;
	paint::CNoise Noise;
};

} // namespace artgen
