#include "CDrumSynth.h"

#include <cmath>

#include "CRandom.h"

namespace {

const double kPi = 3.14159265358979323846;

// First-order high-pass on white noise: the brighter the cut, the thinner the cymbal.
class CNoiseHighPass {
public:
    CNoiseHighPass(double cutoff, int rate)
    {
        const double rc = 1.0 / (2.0 * kPi * cutoff);
        const double dt = 1.0 / rate;
        a = rc / (rc + dt);
    }
    double process(double x)
    {
        y = a * (y + x - previous);
        previous = x;
        return y;
    }

private:
    double a = 0.0;
    double y = 0.0;
    double previous = 0.0;
};

} // namespace

CDrumSynth::CDrumSynth(int rate, uint64_t seed) : rate(rate), seed(seed)
{
}

void CDrumSynth::render(const SDrumHit& hit, int hitNumber, CStereoBuffer& out) const
{
    CRandom random(seed * 7919u + static_cast<uint64_t>(hitNumber));
    const long first = std::lround(hit.start * rate);
    const double v = hit.velocity;
    // Every hit swells in over a millisecond: sharp enough to hit, with no step in the wave.
    const double onset = 0.001 * rate;
    auto swell = [onset](long i) { return i < onset ? i / onset : 1.0; };

    switch (hit.kind) {
    case ED_KICK: {
        const long count = static_cast<long>(0.45 * rate);
        double phase = 0.0;
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double f = 48.0 + 120.0 * std::exp(-t / 0.03);
            phase += f / rate;
            double s = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.2);
            s += random.noise() * 0.25 * std::exp(-t / 0.0015); // beater click
            s = std::tanh(1.6 * s) * 0.75 * v * swell(i);
            out.add(first + i, static_cast<float>(s), static_cast<float>(s));
        }
        break;
    }
    case ED_SNARE: {
        const long count = static_cast<long>(0.3 * rate);
        CNoiseHighPass hp(1200.0, rate);
        double phase = 0.0;
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            phase += (180.0 + 40.0 * std::exp(-t / 0.01)) / rate;
            const double tone = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.05) * 0.45;
            const double rattle = hp.process(random.noise()) * std::exp(-t / 0.085) * 0.6;
            const double s = (tone + rattle) * v * 0.6 * swell(i);
            out.add(first + i, static_cast<float>(s * 0.95), static_cast<float>(s));
        }
        break;
    }
    case ED_HAT:
    case ED_OPEN_HAT: {
        const bool open = hit.kind == ED_OPEN_HAT;
        const long count = static_cast<long>((open ? 0.4 : 0.07) * rate);
        const double tail = open ? 0.13 : 0.018;
        CNoiseHighPass hp1(6500.0, rate), hp2(6500.0, rate);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double s = hp2.process(hp1.process(random.noise())) * std::exp(-t / tail) * 0.3 * v * swell(i);
            out.add(first + i, static_cast<float>(s * 0.8), static_cast<float>(s));
        }
        break;
    }
    case ED_CRASH: {
        const long count = static_cast<long>(2.0 * rate);
        CNoiseHighPass hpL(4000.0, rate), hpR(4000.0, rate);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double env = std::exp(-t / 0.55) * swell(i) * 0.22 * v;
            out.add(first + i, static_cast<float>(hpL.process(random.noise()) * env),
                    static_cast<float>(hpR.process(random.noise()) * env));
        }
        break;
    }
    case ED_TOM_HIGH:
    case ED_TOM_LOW: {
        const double pitch = hit.kind == ED_TOM_HIGH ? 170.0 : 110.0;
        const float pan = hit.kind == ED_TOM_HIGH ? 0.8f : 1.0f;
        const long count = static_cast<long>(0.35 * rate);
        double phase = 0.0;
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            phase += pitch * (1.0 + 0.5 * std::exp(-t / 0.02)) / rate;
            const double s = (std::sin(2.0 * kPi * phase) * std::exp(-t / 0.14)
                              + random.noise() * 0.1 * std::exp(-t / 0.01)) * 0.5 * v * swell(i);
            out.add(first + i, static_cast<float>(s * pan), static_cast<float>(s * (1.8f - pan)));
        }
        break;
    }
    }
}
