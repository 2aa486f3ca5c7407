#pragma once

#include <cstdint>

namespace paint
{

//! Seeded lattice noise. Pure functions of position and seed, so any pixel can be painted by any
//! thread and the images come out the same on every run.
class CNoise
{
public:
	explicit CNoise(uint32_t seed);

	//! Uniform value in [0, 1) for one lattice point.
	float hash(int x, int y) const;
	//! Smooth value noise in [0, 1).
	float value(float x, float y) const;
	//! Sum of octaves of value noise, normalised to [0, 1).
	float fbm(float x, float y, int octaves) const;
	//! Value noise that repeats every `period` lattice cells in x and in y (tiling textures).
	float periodicValue(float x, float y, int period) const;
	//! Octaves of periodic noise, each of twice the frequency and period of the one before, so
	//! the sum repeats every `period` units like its first octave.
	float periodicFbm(float x, float y, int octaves, int period) const;

private:
	uint32_t Seed;
};

} // namespace paint
