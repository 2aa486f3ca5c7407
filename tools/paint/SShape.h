#pragma once

#include <vector>

namespace paint
{

struct SPoint
{
	float x = 0.f, y = 0.f;
};

//! Closed outlines filled with the non-zero rule: solids run one way round, holes the other.
struct SShape
{
	std::vector<std::vector<SPoint>> contours;
};

} // namespace paint
