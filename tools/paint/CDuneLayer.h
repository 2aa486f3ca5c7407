#pragma once

#include "CCanvas.h"
#include "CNoise.h"
#include "SColour.h"

#include <cstdint>
#include <vector>

namespace paint
{

//! How one range of dunes is coloured.
struct SDuneLook
{
	SColour lit;            //!< faces turned to the sun, at the crest
	SColour shade;          //!< faces turned away, at the crest
	SColour deep;           //!< colour far below the crest
	float depth = 300.f;    //!< pixels over which the crest colours give way to `deep`
	SColour rim;            //!< light caught along the crest line
	float rimWidth = 6.f;
	float lightFromRight = 1.f;  //!< +1: sun to the right, -1: to the left
	float lean = 0.6f;      //!< slope of the shadow edges below the crests
	float ripples = 0.f;    //!< strength of the wind ripples
};

//! A range of dunes seen from the side: a ridge line per column, filled down to the bottom edge.
class CDuneLayer
{
public:
	CDuneLayer(int width, float baseY, uint32_t seed);

	//! Sharp-crested dunes (concave sides), the typical wind-built shape.
	void addCrests(float height, float wavelength, float phase, float sharpness);
	void addSwell(float height, float wavelength, float phase);
	//! One dune standing `height` above the base at crestX, its sides reaching out to the given
	//! widths; where dunes meet, the higher one wins.
	void addDune(float crestX, float height, float leftWidth, float rightWidth, float sharpness);
	//! Rounds off the troughs and the very tips of the crests.
	void soften(int radius);
	void addNoise(float height, float featureSize);

	float ridgeAt(float x) const;
	float slopeAt(float x) const;
	//! Highest point (smallest y) of the ridge between x0 and x1.
	float crestBetween(float x0, float x1) const;

	void paint(CCanvas& canvas, const SDuneLook& look) const;

private:
	int Width;
	float BaseY;
	std::vector<float> Ridge;
	CNoise Noise;
};

} // namespace paint
