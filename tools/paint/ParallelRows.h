#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace paint
{

//! Runs body(y) for every row in [y0, y1) on all cores, handing the rows out `chunk` at a time.
//! Each row is computed on its own, so the split over threads changes no byte of the result.
template <class F>
void parallelRows(int y0, int y1, F&& body, int chunk = 8)
{
	const int count = y1 - y0;
	if (count <= 0)
		return;
	unsigned threads = std::max(1u, std::thread::hardware_concurrency());
	threads = std::min<unsigned>(threads, static_cast<unsigned>((count + chunk - 1) / chunk));
	std::atomic<int> next(y0);
	auto work = [&]() {
		for (;;)
		{
			const int first = next.fetch_add(chunk);
			if (first >= y1)
				return;
			const int last = std::min(first + chunk, y1);
			for (int y = first; y < last; ++y)
				body(y);
		}
	};
	std::vector<std::thread> workers;
	for (unsigned i = 1; i < threads; ++i)
		workers.emplace_back(work);
	work();
	for (std::thread& t : workers)
		t.join();
}

} // namespace paint
