#pragma once

#include "SColour.h"

#include <initializer_list>
#include <vector>

namespace paint
{

//! Colour ramp through stops at rising positions; smooth between stops so no band edges show.
struct SGradient
{
	struct SStop
	{
		float at;
		SColour colour;
	};
	std::vector<SStop> stops;

	SGradient(std::initializer_list<SStop> list) : stops(list) {}

	SColour at(float t) const
	{
		if (t <= stops.front().at)
			return stops.front().colour;
		for (size_t i = 1; i < stops.size(); ++i)
		{
			if (t < stops[i].at)
			{
				const float k = smoothstep(stops[i - 1].at, stops[i].at, t);
				return mix(stops[i - 1].colour, stops[i].colour, k);
			}
		}
		return stops.back().colour;
	}
};

} // namespace paint
