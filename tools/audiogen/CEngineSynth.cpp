#include "CEngineSynth.h"

#include <algorithm>
#include <cmath>

#include "CRandom.h"

namespace {

const double kPi = 3.14159265358979323846;

// A one-pole low-pass run twice round a loop, keeping the second turn: the filter's state at the
// seam is the one the loop itself leaves, so the filtered noise loops as seamlessly as its input.
void lowPassLoop(std::vector<double>& samples, double cutoff, int rate)
{
    const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / rate);
    double y = 0.0;
    for (int turn = 0; turn < 2; ++turn) {
        for (double& x : samples) {
            y += a * (x - y);
            if (turn == 1)
                x = y;
        }
    }
}

void highPassLoop(std::vector<double>& samples, double cutoff, int rate)
{
    std::vector<double> low = samples;
    lowPassLoop(low, cutoff, rate);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] -= low[i];
}

} // namespace

CEngineSynth::CEngineSynth(int rate) : rate(rate)
{
}

std::vector<float> CEngineSynth::render(const SEngineSpec& spec) const
{
    const size_t frames = static_cast<size_t>(std::lround(spec.loopSeconds * rate));
    std::vector<double> pulses(frames, 0.0);
    std::vector<double> knocks(frames, 0.0);
    if (frames == 0 || spec.firings <= 0)
        return {};
    CRandom random(spec.seed);

    // Each cylinder has its own strength; every firing wobbles a little around it.
    std::vector<double> cylinder(static_cast<size_t>(spec.cylinders));
    for (double& c : cylinder)
        c = 1.0 - spec.unevenness * random.uniform();

    const double period = static_cast<double>(frames) / spec.firings; // frames per firing
    const double firingHz = rate / period;
    const double ring = std::max({spec.bodyDecay, spec.biteDecay, 0.5 / firingHz}) * 7.0;
    const long ringFrames = static_cast<long>(ring * rate);
    const long n = static_cast<long>(frames);
    // The firings sit half a period off the loop's ends, so the seam falls where a firing has
    // died down rather than on its sharp onset.
    for (int f = 0; f < spec.firings; ++f) {
        const double at = (f + 0.5) * period;
        const double strength = cylinder[static_cast<size_t>(f % spec.cylinders)] * (1.0 + 0.08 * random.noise());
        const long first = static_cast<long>(std::ceil(at));
        for (long j = first; j < first + ringFrames; ++j) {
            const double tau = (j - at) / rate;
            double s = std::exp(-tau / spec.bodyDecay) * std::sin(2.0 * kPi * spec.body * tau);
            s += 0.6 * std::exp(-tau / spec.biteDecay) * std::sin(2.0 * kPi * spec.bite * tau);
            s += spec.thump * std::exp(-tau * firingHz * 2.5) * std::sin(2.0 * kPi * 1.5 * firingHz * tau);
            const long i = j % n;
            pulses[static_cast<size_t>(i)] += strength * s;
            if (spec.clatter > 0.0 && tau < 0.004)
                knocks[static_cast<size_t>(i)] += strength * spec.clatter * random.noise() * std::exp(-tau / 0.0012);
        }
    }
    highPassLoop(knocks, 2500.0, rate);

    std::vector<double> hiss(frames);
    for (double& h : hiss)
        h = random.noise();
    lowPassLoop(hiss, 1800.0, rate);

    std::vector<double> mix(frames);
    for (size_t i = 0; i < frames; ++i) {
        // The breathing of the noise follows the firing rhythm, a whole number of times per loop.
        const double breath = 0.6 + 0.4 * std::cos(2.0 * kPi * spec.firings * static_cast<double>(i) / frames);
        mix[i] = pulses[i] + knocks[i] + spec.hiss * 6.0 * hiss[i] * breath;
    }
    double mean = 0.0;
    for (double m : mix)
        mean += m;
    mean /= static_cast<double>(frames);
    double peak = 0.0;
    for (double& m : mix) {
        m = std::tanh(1.3 * (m - mean));
        peak = std::max(peak, std::fabs(m));
    }
    // The loop starts at its calmest moment: where the wave moves least, the turn from the last
    // sample to the first is least exposed (the encoder is least exact at a file's two ends).
    const size_t half = 16;
    double motion = 0.0;
    auto step = [&mix, frames](size_t i) {
        const double d = mix[(i + 1) % frames] - mix[i % frames];
        return d * d;
    };
    for (size_t i = 0; i < 2 * half; ++i)
        motion += step(frames - half + i);
    double calmest = motion;
    size_t start = 0;
    for (size_t k = 1; k < frames; ++k) {
        motion += step(k + half - 1) - step(k + frames - half - 1);
        if (motion < calmest) {
            calmest = motion;
            start = k;
        }
    }

    std::vector<float> out(frames);
    const double gain = peak > 0.0 ? 0.8 / peak : 0.0;
    for (size_t i = 0; i < frames; ++i)
        out[i] = static_cast<float>(mix[(start + i) % frames] * gain);
    return out;
}
