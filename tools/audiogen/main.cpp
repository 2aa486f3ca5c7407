// audiogen: synthesises the game's music and engine sounds and encodes them as Ogg Vorbis.
// usage: audiogen AUDIO_FOLDER   (writes menu_music.ogg, music/*.ogg and engines/*.ogg)
// Every file comes from fixed seeds, so each run writes the same bytes; the files are made in
// parallel, one thread each.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CComposer.h"
#include "CEngineSynth.h"
#include "CSongRenderer.h"
#include "CVorbisWriter.h"

namespace {

const int kRate = 44100;

const std::vector<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kMinor = {0, 2, 3, 5, 7, 8, 10};
const std::vector<int> kDorian = {0, 2, 3, 5, 7, 9, 10};

SPatch patch(float saw, float square, float sine, float cutoff, float envCutoff, float filterDecay,
             float resonance, float attack, float decay, float sustain, float release, float gain,
             float pan)
{
    SPatch p;
    p.saw = saw;
    p.square = square;
    p.sine = sine;
    p.cutoff = cutoff;
    p.envCutoff = envCutoff;
    p.filterDecay = filterDecay;
    p.resonance = resonance;
    p.attack = attack;
    p.decay = decay;
    p.sustain = sustain;
    p.release = release;
    p.gain = gain;
    p.pan = pan;
    return p;
}

// The menus: calm, in C major, one seamless loop.
SSongPlan menuMusic()
{
    SSongPlan plan;
    plan.file = "menu_music.ogg";
    plan.bpm = 90.0;
    plan.tonic = 60;
    plan.scale = kMajor;
    plan.progressionA = {0, 4, 5, 3};
    plan.progressionB = {3, 4, 0, 0};
    plan.sections = {{'A', 8}, {'D', 4}};
    plan.drumStyle = 3;
    plan.bassStyle = 3;
    plan.arpStepsPerNote = 2;
    plan.drumLevel = 0.15f;
    plan.loops = true;
    plan.seed = 0x4D454E55;
    plan.lead = patch(0.0f, 0.35f, 0.65f, 2200.0f, 1200.0f, 0.4f, 0.1f, 0.03f, 0.3f, 0.75f, 0.25f, 0.30f, 0.1f);
    plan.lead.vibratoDepth = 0.15f;
    plan.lead.vibratoRate = 4.8f;
    plan.bass = patch(0.5f, 0.0f, 0.8f, 400.0f, 300.0f, 0.2f, 0.1f, 0.01f, 0.3f, 0.7f, 0.2f, 0.45f, 0.0f);
    plan.pad = patch(1.0f, 0.0f, 0.0f, 700.0f, 200.0f, 1.0f, 0.1f, 0.6f, 0.8f, 0.85f, 0.9f, 0.12f, 0.0f);
    plan.pad.detuneCents = 14.0f;
    plan.arp = patch(0.3f, 0.7f, 0.0f, 1400.0f, 2200.0f, 0.07f, 0.25f, 0.002f, 0.15f, 0.15f, 0.1f, 0.12f, -0.5f);
    plan.arp.pulseWidth = 0.3f;
    return plan;
}

// Race music 1: driving, E minor, 140 beats a minute.
SSongPlan duneSprint()
{
    SSongPlan plan;
    plan.file = "music/01_dune_sprint.ogg";
    plan.bpm = 140.0;
    plan.tonic = 64;
    plan.scale = kMinor;
    plan.progressionA = {0, 5, 2, 6};
    plan.progressionB = {3, 5, 0, 6};
    plan.sections = {{'I', 4}, {'A', 8}, {'B', 8}, {'A', 8}, {'D', 4}, {'B', 8}, {'O', 4}};
    plan.drumStyle = 0;
    plan.bassStyle = 0;
    plan.arpStepsPerNote = 2;
    plan.seed = 0x44554E45;
    plan.lead = patch(0.7f, 0.3f, 0.0f, 1400.0f, 2600.0f, 0.3f, 0.35f, 0.005f, 0.25f, 0.65f, 0.12f, 0.30f, 0.15f);
    plan.lead.vibratoDepth = 0.12f;
    plan.lead.vibratoRate = 5.5f;
    plan.bass = patch(1.0f, 0.3f, 0.0f, 220.0f, 900.0f, 0.12f, 0.3f, 0.003f, 0.15f, 0.6f, 0.06f, 0.55f, 0.0f);
    plan.bass.detuneCents = 4.0f;
    plan.pad = patch(1.0f, 0.0f, 0.0f, 900.0f, 300.0f, 1.0f, 0.1f, 0.25f, 0.5f, 0.8f, 0.5f, 0.09f, 0.0f);
    plan.pad.detuneCents = 12.0f;
    plan.arp = patch(0.0f, 1.0f, 0.0f, 1800.0f, 2500.0f, 0.08f, 0.2f, 0.002f, 0.12f, 0.2f, 0.08f, 0.13f, -0.45f);
    plan.arp.pulseWidth = 0.3f;
    return plan;
}

// Race music 2: funky, B flat major, 100 beats a minute.
SSongPlan canyonCruise()
{
    SSongPlan plan;
    plan.file = "music/02_canyon_cruise.ogg";
    plan.bpm = 100.0;
    plan.tonic = 70;
    plan.scale = kMajor;
    plan.progressionA = {0, 5, 3, 4};
    plan.progressionB = {1, 4, 2, 5};
    plan.sections = {{'I', 4}, {'A', 8}, {'B', 8}, {'A', 8}, {'O', 4}};
    plan.drumStyle = 1;
    plan.bassStyle = 1;
    plan.arpStepsPerNote = 2;
    plan.seed = 0x43414E59;
    plan.lead = patch(0.0f, 0.8f, 0.4f, 1600.0f, 1800.0f, 0.25f, 0.2f, 0.01f, 0.2f, 0.7f, 0.15f, 0.28f, 0.1f);
    plan.lead.pulseWidth = 0.4f;
    plan.lead.vibratoDepth = 0.2f;
    plan.lead.vibratoRate = 5.0f;
    plan.bass = patch(0.4f, 0.6f, 0.0f, 300.0f, 1500.0f, 0.08f, 0.5f, 0.003f, 0.12f, 0.5f, 0.05f, 0.5f, 0.0f);
    plan.bass.detuneCents = 3.0f;
    plan.pad = patch(0.8f, 0.2f, 0.0f, 1100.0f, 400.0f, 0.8f, 0.15f, 0.15f, 0.4f, 0.75f, 0.4f, 0.09f, 0.0f);
    plan.pad.detuneCents = 10.0f;
    plan.arp = patch(0.6f, 0.4f, 0.0f, 2000.0f, 2000.0f, 0.06f, 0.3f, 0.002f, 0.1f, 0.15f, 0.07f, 0.12f, 0.5f);
    return plan;
}

// Race music 3: broken beat, D dorian, 124 beats a minute.
SSongPlan mirageRun()
{
    SSongPlan plan;
    plan.file = "music/03_mirage_run.ogg";
    plan.bpm = 124.0;
    plan.tonic = 62;
    plan.scale = kDorian;
    plan.progressionA = {0, 3, 0, 6};
    plan.progressionB = {2, 3, 6, 4};
    plan.sections = {{'I', 4}, {'A', 8}, {'D', 4}, {'B', 8}, {'A', 8}, {'O', 4}};
    plan.drumStyle = 2;
    plan.bassStyle = 2;
    plan.arpStepsPerNote = 1;
    plan.seed = 0x4D495241;
    plan.lead = patch(1.0f, 0.0f, 0.0f, 900.0f, 3500.0f, 0.15f, 0.4f, 0.003f, 0.3f, 0.35f, 0.2f, 0.34f, -0.1f);
    plan.lead.vibratoDepth = 0.08f;
    plan.lead.vibratoRate = 6.0f;
    plan.bass = patch(1.0f, 0.0f, 0.3f, 180.0f, 600.0f, 0.2f, 0.25f, 0.004f, 0.3f, 0.7f, 0.08f, 0.55f, 0.0f);
    plan.pad = patch(1.0f, 0.0f, 0.0f, 800.0f, 500.0f, 1.5f, 0.2f, 0.4f, 0.6f, 0.8f, 0.7f, 0.1f, 0.0f);
    plan.pad.detuneCents = 16.0f;
    plan.arp = patch(0.0f, 1.0f, 0.0f, 1500.0f, 3000.0f, 0.05f, 0.3f, 0.001f, 0.08f, 0.1f, 0.05f, 0.11f, 0.4f);
    plan.arp.pulseWidth = 0.25f;
    return plan;
}

// A light buggy: a four-cylinder petrol engine, bright and buzzy.
SEngineSpec buggy()
{
    SEngineSpec spec;
    spec.file = "engines/buggy.ogg";
    spec.loopSeconds = 2.0;
    spec.firings = 100;
    spec.cylinders = 4;
    spec.body = 650.0;
    spec.bodyDecay = 0.0025;
    spec.bite = 1900.0;
    spec.biteDecay = 0.0012;
    spec.thump = 0.7;
    spec.unevenness = 0.2;
    spec.hiss = 0.06;
    spec.seed = 11;
    return spec;
}

// A heavy truck: a six-cylinder diesel, low, with its knock.
SEngineSpec truck()
{
    SEngineSpec spec;
    spec.file = "engines/truck.ogg";
    spec.loopSeconds = 2.0;
    spec.firings = 66;
    spec.cylinders = 6;
    spec.body = 380.0;
    spec.bodyDecay = 0.004;
    spec.bite = 1100.0;
    spec.biteDecay = 0.002;
    spec.thump = 1.0;
    spec.unevenness = 0.25;
    spec.clatter = 0.5;
    spec.hiss = 0.05;
    spec.seed = 23;
    return spec;
}

bool makeSong(const SSongPlan& plan, const std::string& folder)
{
    CComposer composer(plan);
    const SScore score = composer.compose();
    const CStereoBuffer mix = CSongRenderer(kRate).render(plan, score);
    return CVorbisWriter(2, kRate, 0.3f).write(folder + "/" + plan.file, mix.interleaved());
}

bool makeEngine(const SEngineSpec& spec, const std::string& folder)
{
    const std::vector<float> samples = CEngineSynth(kRate).render(spec);
    return CVorbisWriter(1, kRate, 0.4f).write(folder + "/" + spec.file, samples);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: audiogen AUDIO_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code error;
    for (const char* sub : {"", "/music", "/engines"}) {
        std::filesystem::create_directories(folder + sub, error);
        if (error) {
            std::printf("ERROR: cannot create \"%s%s\": %s\n", folder.c_str(), sub, error.message().c_str());
            return 1;
        }
    }

    std::vector<std::function<bool()>> jobs;
    for (const SSongPlan& plan : {duneSprint(), mirageRun(), canyonCruise(), menuMusic()})
        jobs.push_back([plan, folder] { return makeSong(plan, folder); });
    for (const SEngineSpec& spec : {buggy(), truck()})
        jobs.push_back([spec, folder] { return makeEngine(spec, folder); });

    std::vector<char> done(jobs.size(), 0);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back([&jobs, &done, i] { done[i] = jobs[i]() ? 1 : 0; });
    for (std::thread& t : threads)
        t.join();

    for (char ok : done) {
        if (!ok)
            return 1;
    }
    return 0;
}
