#pragma once

#include "SShape.h"

#include <vector>

namespace paint
{

//! Builds outlines in a drawing's own units; every solid is turned the same way round so that
//! overlapping parts join instead of cancelling.
class CShapeBuilder
{
public:
	void addPolygon(const std::vector<SPoint>& points, bool hole = false);
	void addCircle(float cx, float cy, float radius, bool hole = false, int segments = 96);
	//! Ellipse turned by angle (radians).
	void addEllipse(float cx, float cy, float rx, float ry, float angle, bool hole = false);
	//! A tube of the given width along the polyline, with round joints and ends.
	void addTube(const std::vector<SPoint>& points, float width);
	//! Tyre outline with tread blocks standing out from the radius.
	void addTyre(float cx, float cy, float radius, int blocks, float blockDepth);

	//! The shape scaled, turned by angle (radians, clockwise on screen) and moved.
	SShape placed(float scale, float angle, float x, float y) const;
	const SShape& shape() const { return Shape; }

private:
	void addOriented(std::vector<SPoint> contour, bool hole);

	SShape Shape;
};

} // namespace paint
