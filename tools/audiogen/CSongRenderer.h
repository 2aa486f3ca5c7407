#pragma once
#include "CStereoBuffer.h"
#include "SScore.h"
#include "SSongPlan.h"

// Plays a score with the plan's instruments into a finished stereo mix: levels set, peaks
// rounded off, and for a piece with an end a tail that fades to silence.
class CSongRenderer {
public:
    explicit CSongRenderer(int rate);
    CStereoBuffer render(const SSongPlan& plan, const SScore& score) const;

    static constexpr double kTailSeconds = 3.0;

private:
    static float activeLevel(const CStereoBuffer& buffer);

    int rate;
};
