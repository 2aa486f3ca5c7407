#include "CToneSynth.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

// Smooths the jump of a saw or square edge, so high notes do not alias into noise.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double saw(double phase, double dt)
{
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}

double pulse(double phase, double dt, double width)
{
    double value = phase < width ? 1.0 : -1.0;
    value += polyBlep(phase, dt);
    double shifted = phase + 1.0 - width;
    shifted -= std::floor(shifted);
    value -= polyBlep(shifted, dt);
    return value;
}

} // namespace

CToneSynth::CToneSynth(const SPatch& patch, int rate) : patch(patch), rate(rate)
{
}

double CToneSynth::frequency(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void CToneSynth::render(const SNote& note, CStereoBuffer& out) const
{
    const double base = frequency(note.midi);
    const double detune = std::pow(2.0, patch.detuneCents / 1200.0);
    const double attack = patch.attack > 0.002 ? patch.attack : 0.002;
    const double release = patch.release > 0.005 ? patch.release : 0.005;
    const double decay = patch.decay > 0.001 ? patch.decay : 0.001;

    auto envelope = [&](double t) {
        if (t < attack)
            return t / attack;
        if (t < attack + decay)
            return 1.0 - (1.0 - patch.sustain) * (t - attack) / decay;
        return static_cast<double>(patch.sustain);
    };
    const double offLevel = envelope(note.length);

    const double panAngle = (patch.pan + 1.0) * kPi / 4.0;
    const float gainL = static_cast<float>(std::cos(panAngle) * patch.gain * note.velocity);
    const float gainR = static_cast<float>(std::sin(panAngle) * patch.gain * note.velocity);

    const long first = std::lround(note.start * rate);
    const long count = std::lround((note.length + release) * rate);
    const double oscTotal = patch.saw + patch.square + patch.sine;
    const double oscScale = oscTotal > 0.0 ? 1.0 / oscTotal : 0.0;
    const double k = 2.0 - 2.0 * patch.resonance;

    double phase1 = 0.0;
    double phase2 = 0.37; // the second oscillator starts apart, so their sum is never zero
    double ic1 = 0.0, ic2 = 0.0;
    double a1 = 0.0, a2 = 0.0, a3 = 0.0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double env = t < note.length ? envelope(t) : offLevel * (1.0 - (t - note.length) / release);

        double f = base;
        if (patch.vibratoDepth > 0.0f) {
            const double fadeIn = t < 0.3 ? t / 0.3 : 1.0;
            f *= std::pow(2.0, patch.vibratoDepth * fadeIn * std::sin(2.0 * kPi * patch.vibratoRate * t) / 12.0);
        }
        const double dt1 = f / rate;
        const double dt2 = f * detune / rate;

        double osc = 0.0;
        if (patch.saw > 0.0f)
            osc += patch.saw * 0.5 * (saw(phase1, dt1) + saw(phase2, dt2));
        if (patch.square > 0.0f)
            osc += patch.square * 0.5 * (pulse(phase1, dt1, patch.pulseWidth) + pulse(phase2, dt2, patch.pulseWidth));
        if (patch.sine > 0.0f)
            osc += patch.sine * std::sin(2.0 * kPi * phase1);
        osc *= oscScale;
        phase1 += dt1;
        phase1 -= std::floor(phase1);
        phase2 += dt2;
        phase2 -= std::floor(phase2);

        // The filter's coefficients change slowly; working them out every 16 samples is plenty.
        if ((i & 15) == 0) {
            double fc = patch.cutoff + patch.envCutoff * note.velocity * std::exp(-t / patch.filterDecay);
            const double limit = 0.45 * rate;
            if (fc > limit)
                fc = limit;
            const double g = std::tan(kPi * fc / rate);
            a1 = 1.0 / (1.0 + g * (g + k));
            a2 = g * a1;
            a3 = g * a2;
        }
        const double v3 = osc - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;

        const float s = static_cast<float>(v2 * env);
        out.add(first + i, s * gainL, s * gainR);
    }
}
