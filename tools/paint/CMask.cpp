#include "CMask.h"

#include "ParallelRows.h"
#include "SColour.h"

#include <algorithm>
#include <cmath>

namespace paint
{

namespace
{

struct SEdge
{
	float x0, y0, x1, y1;
	int winding;
};

struct SCrossing
{
	float x;
	int winding;
	bool operator<(const SCrossing& o) const { return x < o.x; }
};

const int kSubScanlines = 16;

// Adds the span [xa, xb) of one sub-scanline, with the partly covered end pixels weighted.
void addSpan(std::vector<float>& acc, float xa, float xb)
{
	const float limit = static_cast<float>(acc.size());
	xa = std::max(0.f, std::min(limit, xa));
	xb = std::max(0.f, std::min(limit, xb));
	if (xb <= xa)
		return;
	const int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
	if (ia == ib)
	{
		acc[ia] += xb - xa;
		return;
	}
	acc[ia] += (ia + 1) - xa;
	for (int i = ia + 1; i < ib; ++i)
		acc[i] += 1.f;
	if (ib < static_cast<int>(acc.size()))
		acc[ib] += xb - ib;
}

// One pass of a running-average box filter over n values spaced by stride.
void boxPass(float* data, int n, int stride, int radius, std::vector<float>& scratch)
{
	scratch.resize(n);
	for (int i = 0; i < n; ++i)
		scratch[i] = data[static_cast<size_t>(i) * stride];
	const float norm = 1.f / (2 * radius + 1);
	float sum = 0.f;
	for (int i = -radius; i <= radius; ++i)
		sum += (i >= 0 && i < n) ? scratch[i] : 0.f;
	for (int i = 0; i < n; ++i)
	{
		data[static_cast<size_t>(i) * stride] = sum * norm;
		const int out = i - radius, in = i + radius + 1;
		if (out >= 0)
			sum -= scratch[out];
		if (in < n)
			sum += scratch[in];
	}
}

} // namespace

CMask::CMask(int left, int top, int width, int height)
	: Left(left), Top(top), Width(std::max(0, width)), Height(std::max(0, height)),
	  Data(static_cast<size_t>(Width) * Height, 0.f)
{
}

CMask CMask::fromShape(const SShape& shape, int canvasWidth, int canvasHeight)
{
	std::vector<SEdge> edges;
	float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
	for (const std::vector<SPoint>& contour : shape.contours)
	{
		for (size_t i = 0; i < contour.size(); ++i)
		{
			const SPoint& a = contour[i];
			const SPoint& b = contour[(i + 1) % contour.size()];
			minX = std::min(minX, a.x);
			maxX = std::max(maxX, a.x);
			minY = std::min(minY, a.y);
			maxY = std::max(maxY, a.y);
			if (a.y == b.y)
				continue;
			if (a.y < b.y)
				edges.push_back({a.x, a.y, b.x, b.y, 1});
			else
				edges.push_back({b.x, b.y, a.x, a.y, -1});
		}
	}
	if (edges.empty())
		return CMask();

	const int left = std::max(0, static_cast<int>(std::floor(minX)));
	const int top = std::max(0, static_cast<int>(std::floor(minY)));
	const int right = std::min(canvasWidth, static_cast<int>(std::ceil(maxX)) + 1);
	const int bottom = std::min(canvasHeight, static_cast<int>(std::ceil(maxY)) + 1);
	CMask mask(left, top, right - left, bottom - top);
	if (mask.empty())
		return CMask();

	parallelRows(0, mask.Height, [&](int localY) {
		std::vector<float> acc(mask.Width, 0.f);
		std::vector<SCrossing> crossings;
		const float pixelY = static_cast<float>(top + localY);
		for (int s = 0; s < kSubScanlines; ++s)
		{
			const float y = pixelY + (s + 0.5f) / kSubScanlines;
			crossings.clear();
			for (const SEdge& e : edges)
			{
				if (y < e.y0 || y >= e.y1)
					continue;
				const float x = e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
				crossings.push_back({x - left, e.winding});
			}
			std::sort(crossings.begin(), crossings.end());
			int winding = 0;
			float start = 0.f;
			for (const SCrossing& c : crossings)
			{
				const int before = winding;
				winding += c.winding;
				if (before == 0 && winding != 0)
					start = c.x;
				else if (before != 0 && winding == 0)
					addSpan(acc, start, c.x);
			}
		}
		float* out = mask.row(localY);
		for (int x = 0; x < mask.Width; ++x)
			out[x] = std::min(1.f, acc[x] / kSubScanlines);
	});
	return mask;
}

CMask CMask::circle(float cx, float cy, float radius, int canvasWidth, int canvasHeight)
{
	const int left = std::max(0, static_cast<int>(std::floor(cx - radius - 1)));
	const int top = std::max(0, static_cast<int>(std::floor(cy - radius - 1)));
	const int right = std::min(canvasWidth, static_cast<int>(std::ceil(cx + radius + 1)));
	const int bottom = std::min(canvasHeight, static_cast<int>(std::ceil(cy + radius + 1)));
	CMask mask(left, top, right - left, bottom - top);
	parallelRows(0, mask.Height, [&](int localY) {
		float* out = mask.row(localY);
		const float dy = top + localY + 0.5f - cy;
		for (int x = 0; x < mask.Width; ++x)
		{
			const float dx = left + x + 0.5f - cx;
			out[x] = clamp01(radius - std::sqrt(dx * dx + dy * dy) + 0.5f);
		}
	});
	return mask;
}

CMask CMask::roundedRect(float x0, float y0, float x1, float y1, float radius, int canvasWidth,
	int canvasHeight)
{
	const int left = std::max(0, static_cast<int>(std::floor(x0)));
	const int top = std::max(0, static_cast<int>(std::floor(y0)));
	const int right = std::min(canvasWidth, static_cast<int>(std::ceil(x1)));
	const int bottom = std::min(canvasHeight, static_cast<int>(std::ceil(y1)));
	CMask mask(left, top, right - left, bottom - top);
	const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
	const float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
	parallelRows(0, mask.Height, [&](int localY) {
		float* out = mask.row(localY);
		const float qy = std::fabs(top + localY + 0.5f - cy) - hy;
		for (int x = 0; x < mask.Width; ++x)
		{
			const float qx = std::fabs(left + x + 0.5f - cx) - hx;
			const float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
			const float distance =
				std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.f) - radius;
			out[x] = clamp01(0.5f - distance);
		}
	});
	return mask;
}

CMask CMask::blurred(float radius, int canvasWidth, int canvasHeight) const
{
	const int box = std::max(1, static_cast<int>(std::lround(radius / std::sqrt(3.f))));
	const int grow = 3 * box;
	const int left = std::max(0, Left - grow), top = std::max(0, Top - grow);
	const int right = std::min(canvasWidth, Left + Width + grow);
	const int bottom = std::min(canvasHeight, Top + Height + grow);
	CMask out(left, top, right - left, bottom - top);
	for (int y = 0; y < Height; ++y)
	{
		const int oy = Top + y - top;
		if (oy < 0 || oy >= out.Height)
			continue;
		for (int x = 0; x < Width; ++x)
		{
			const int ox = Left + x - left;
			if (ox >= 0 && ox < out.Width)
				out.row(oy)[ox] = row(y)[x];
		}
	}
	parallelRows(0, out.Height, [&](int y) {
		std::vector<float> scratch;
		for (int pass = 0; pass < 3; ++pass)
			boxPass(out.row(y), out.Width, 1, box, scratch);
	});
	parallelRows(0, out.Width, [&](int x) {
		std::vector<float> scratch;
		for (int pass = 0; pass < 3; ++pass)
			boxPass(&out.Data[x], out.Height, out.Width, box, scratch);
	});
	return out;
}

CMask CMask::shifted(int dx, int dy) const
{
	CMask out = *this;
	out.Left += dx;
	out.Top += dy;
	return out;
}

} // namespace paint
