#pragma once

#include "CShapeBuilder.h"

namespace paint
{

//! Side view of our dune buggy, facing right: tub, roll cage, driver, knobby tyres, whip flag.
//! Drawn in units of about half its length, with the tyres standing on y = 0 (y down).
class CBuggyShape
{
public:
	CBuggyShape();

	//! The buggy scaled, tilted (radians, clockwise on screen) and set down with the middle of
	//! its wheelbase at (x, y).
	SShape placed(float scale, float angle, float x, float y) const;

	//! Wheel centres in the buggy's own units, for dust thrown from the tyres.
	static SPoint rearWheel() { return {-0.55f, -0.27f}; }
	static SPoint frontWheel() { return {0.62f, -0.21f}; }

private:
	void addWheel(const SPoint& centre, float radius);

	CShapeBuilder Builder;
};

} // namespace paint
