#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

// The order of the cars in a race: more laps first, then the further navigation point, then the
// shorter way to the next one. Written for any car type with the vehicle's race accessors.
template <class TVehicle>
bool compareRaceOrder(const TVehicle* a, const TVehicle* b)
{
    if (a->getLap() != b->getLap())
        return a->getLap() > b->getLap();
    if (a->getNavigationIndex() != b->getNavigationIndex())
        return a->getNavigationIndex() > b->getNavigationIndex();
    // A distance that is not a number (a car thrown out of the world) counts as the farthest, so
    // the comparison stays a strict ordering and the sort stays inside the list.
    const float da = a->getNavigationDistance();
    const float db = b->getNavigationDistance();
    if (std::isnan(da))
        return false;
    if (std::isnan(db))
        return true;
    return da < db;
}

// Finished cars keep their places at the front; the others are sorted behind them.
template <class TVehicle>
void sortRaceOrderEntries(std::vector<TVehicle*>& order)
{
    size_t finished = 0;
    for (const TVehicle* vehicle : order) {
        if (vehicle->isFinished())
            ++finished;
    }
    if (finished >= order.size())
        return;
    std::sort(order.begin() + static_cast<long>(finished), order.end(), compareRaceOrder<TVehicle>);
}
