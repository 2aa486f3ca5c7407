#include "CShapeBuilder.h"

#include <algorithm>
#include <cmath>

namespace paint
{

namespace
{

const float kPi = 3.14159265358979f;

float signedArea(const std::vector<SPoint>& c)
{
	float area = 0.f;
	for (size_t i = 0; i < c.size(); ++i)
	{
		const SPoint& a = c[i];
		const SPoint& b = c[(i + 1) % c.size()];
		area += a.x * b.y - b.x * a.y;
	}
	return area * 0.5f;
}

} // namespace

void CShapeBuilder::addOriented(std::vector<SPoint> contour, bool hole)
{
	if (contour.size() < 3)
		return;
	const bool positive = signedArea(contour) > 0.f;
	if (positive == hole)
		std::reverse(contour.begin(), contour.end());
	Shape.contours.push_back(std::move(contour));
}

void CShapeBuilder::addPolygon(const std::vector<SPoint>& points, bool hole)
{
	addOriented(points, hole);
}

void CShapeBuilder::addCircle(float cx, float cy, float radius, bool hole, int segments)
{
	std::vector<SPoint> c;
	for (int i = 0; i < segments; ++i)
	{
		const float a = 2.f * kPi * i / segments;
		c.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
	}
	addOriented(c, hole);
}

void CShapeBuilder::addEllipse(float cx, float cy, float rx, float ry, float angle, bool hole)
{
	std::vector<SPoint> c;
	const int segments = 96;
	const float ca = std::cos(angle), sa = std::sin(angle);
	for (int i = 0; i < segments; ++i)
	{
		const float a = 2.f * kPi * i / segments;
		const float x = rx * std::cos(a), y = ry * std::sin(a);
		c.push_back({cx + x * ca - y * sa, cy + x * sa + y * ca});
	}
	addOriented(c, hole);
}

void CShapeBuilder::addTube(const std::vector<SPoint>& points, float width)
{
	const float half = width * 0.5f;
	for (size_t i = 0; i + 1 < points.size(); ++i)
	{
		const SPoint& a = points[i];
		const SPoint& b = points[i + 1];
		const float dx = b.x - a.x, dy = b.y - a.y;
		const float length = std::sqrt(dx * dx + dy * dy);
		if (length <= 0.f)
			continue;
		const float nx = -dy / length * half, ny = dx / length * half;
		addOriented({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny},
						{a.x - nx, a.y - ny}},
			false);
	}
	for (const SPoint& p : points)
		addCircle(p.x, p.y, half, false, 24);
}

void CShapeBuilder::addTyre(float cx, float cy, float radius, int blocks, float blockDepth)
{
	std::vector<SPoint> c;
	const int perBlock = 8;
	const int steps = blocks * perBlock;
	for (int i = 0; i < steps; ++i)
	{
		const float a = 2.f * kPi * i / steps;
		// Square-ish tread blocks: out for five steps of eight, in for the rest.
		const int phase = i % perBlock;
		const float r = radius + ((phase >= 1 && phase <= 5) ? blockDepth : 0.f);
		c.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
	}
	addOriented(c, false);
}

SShape CShapeBuilder::placed(float scale, float angle, float x, float y) const
{
	const float ca = std::cos(angle), sa = std::sin(angle);
	SShape out;
	for (const std::vector<SPoint>& contour : Shape.contours)
	{
		std::vector<SPoint> c;
		c.reserve(contour.size());
		for (const SPoint& p : contour)
		{
			const float px = p.x * scale, py = p.y * scale;
			c.push_back({x + px * ca - py * sa, y + px * sa + py * ca});
		}
		out.contours.push_back(std::move(c));
	}
	return out;
}

} // namespace paint
