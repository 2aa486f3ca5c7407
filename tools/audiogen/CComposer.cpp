#include "CComposer.h"

#include <cmath>

namespace {

// Rhythm cells of one bar: pairs of (sixteenth, length). Moving cells carry a phrase, long ones
// close it.
struct SCell {
    int count;
    int steps[6][2];
};

const SCell kMovingCells[] = {
    {5, {{0, 4}, {4, 2}, {6, 2}, {8, 4}, {12, 4}}},
    {3, {{0, 6}, {6, 2}, {8, 8}}},
    {6, {{0, 2}, {2, 2}, {4, 4}, {8, 2}, {10, 2}, {12, 4}}},
    {4, {{0, 4}, {6, 2}, {8, 2}, {10, 6}}},
    {4, {{0, 3}, {3, 3}, {6, 2}, {8, 8}}},
    {5, {{2, 2}, {4, 4}, {8, 3}, {11, 3}, {14, 2}}},
};
const SCell kClosingCells[] = {
    {2, {{0, 4}, {4, 12}}},
    {1, {{0, 16}}},
    {3, {{0, 2}, {2, 2}, {4, 12}}},
    {2, {{0, 8}, {8, 8}}},
};

struct SBassNote {
    int step;
    int length;
    int what; // 0 root, 1 fifth, 2 octave, 3 approach to the next chord
};

const SBassNote kBassDriving[] = {{0, 2, 0}, {2, 2, 0}, {4, 2, 0}, {6, 2, 2}, {8, 2, 0}, {10, 2, 0}, {12, 2, 1}, {14, 2, 3}};
const SBassNote kBassFunk[] = {{0, 3, 0}, {3, 1, 2}, {6, 2, 0}, {8, 1, 0}, {10, 2, 1}, {12, 1, 2}, {14, 2, 3}};
const SBassNote kBassLong[] = {{0, 6, 0}, {6, 2, 0}, {8, 6, 1}, {14, 2, 3}};
const SBassNote kBassCalm[] = {{0, 8, 0}, {8, 6, 1}, {14, 2, 3}};

struct SGroove {
    const char* kick;
    const char* snare;
    const char* hat;
};

const SGroove kGrooves[] = {
    {"x...x...x...x...", "....x.......x...", "x.o.x.o.x.o.x.o."},
    {"x..o..x...x..o..", "....x..o.o..x...", "xoooxoooxoooxooo"},
    {"x.........x..o..", "....x.......x..o", "x.x.x.x.x.xox.x."},
    {"x.......o.x.....", "........x.......", "..o...o...o...o."},
};

float strength(char c)
{
    return c == 'x' ? 1.0f : c == 'o' ? 0.55f : 0.0f;
}

} // namespace

CComposer::CComposer(const SSongPlan& plan)
    : plan(plan), random(plan.seed), step(60.0 / plan.bpm / 4.0), barTime(60.0 / plan.bpm * 4.0)
{
}

int CComposer::chordDegree(char kind, int bar) const
{
    const std::vector<int>& progression = kind == 'B' ? plan.progressionB : plan.progressionA;
    return progression[static_cast<size_t>(bar) % progression.size()];
}

int CComposer::midiOf(int degree, int octaveShift) const
{
    const int octave = static_cast<int>(std::floor(degree / 7.0));
    const int index = degree - 7 * octave;
    return plan.tonic + plan.scale[static_cast<size_t>(index)] + 12 * (octave + octaveShift);
}

bool CComposer::isChordTone(int degree, int chord) const
{
    const int d = ((degree - chord) % 7 + 7) % 7;
    return d == 0 || d == 2 || d == 4;
}

int CComposer::nearestChordTone(int from, int chord) const
{
    for (int distance = 0; distance < 4; ++distance) {
        // Falling first half of the time keeps the line from climbing away.
        const int first = (from + distance) % 2 == 0 ? -distance : distance;
        if (isChordTone(from + first, chord))
            return from + first;
        if (isChordTone(from - first, chord))
            return from - first;
    }
    return from;
}

std::vector<CComposer::SMotifNote> CComposer::writeMotif(char kind)
{
    std::vector<SMotifNote> motif;
    const int moving = static_cast<int>(sizeof kMovingCells / sizeof kMovingCells[0]);
    const int closing = static_cast<int>(sizeof kClosingCells / sizeof kClosingCells[0]);
    int cells[4];
    for (int bar = 0; bar < 3; ++bar)
        cells[bar] = random.range(0, moving - 1);
    cells[3] = random.range(0, closing - 1);
    const int finalCell = random.range(0, closing - 1);

    int previous = kind == 'A' ? 4 : 6;
    auto pick = [&](int stepInBar, int chord) {
        int degree;
        if (stepInBar % 8 == 0) {
            degree = nearestChordTone(previous + random.range(-1, 1), chord);
        } else {
            static const int moves[] = {-2, -1, -1, 1, 1, 2, 0, -1, 1, 3};
            int move = moves[random.range(0, 9)];
            if (previous > 8 && move > 0)
                move = -move;
            if (previous < 0 && move < 0)
                move = -move;
            degree = previous + move;
        }
        if (degree > 10)
            degree -= 2;
        if (degree < -3)
            degree += 2;
        previous = degree;
        return degree;
    };

    // The question: three moving bars and a half close on a chord tone.
    for (int bar = 0; bar < 4; ++bar) {
        const SCell& cell = bar < 3 ? kMovingCells[cells[bar]] : kClosingCells[cells[3]];
        const int chord = chordDegree(kind, bar);
        for (int n = 0; n < cell.count; ++n) {
            int degree = pick(cell.steps[n][0], chord);
            if (bar == 3 && n == cell.count - 1) {
                degree = nearestChordTone(previous, chord);
                if (((degree % 7) + 7) % 7 == 0)
                    degree += 2; // the answer, not the question, comes home
                previous = degree;
            }
            motif.push_back({bar * 16 + cell.steps[n][0], cell.steps[n][1], degree});
        }
    }
    // The answer: the same three bars again, then home to the tonic.
    const size_t questionNotes = motif.size();
    for (size_t i = 0; i < questionNotes; ++i) {
        if (motif[i].step >= 48)
            break;
        SMotifNote note = motif[i];
        note.step += 64;
        motif.push_back(note);
        previous = note.degree;
    }
    const SCell& cell = kClosingCells[finalCell];
    const int home = std::abs(previous) < std::abs(previous - 7) ? 0 : 7;
    for (int n = 0; n < cell.count; ++n) {
        int degree;
        if (n == cell.count - 1)
            degree = home;
        else
            degree = home + (cell.count - 1 - n) * (previous > home ? 1 : -1);
        motif.push_back({112 + cell.steps[n][0], cell.steps[n][1], degree});
    }
    return motif;
}

void CComposer::addDrums(char kind, int bar, int barInSection, int sectionBars, bool lastSection, SScore& score)
{
    const SGroove& groove = kGrooves[plan.drumStyle];
    const double barStart = bar * barTime;
    auto hit = [&](int s, EDrum drum, float velocity) {
        const float humanise = static_cast<float>(random.uniform() * 0.12 - 0.06);
        score.drums.push_back({barStart + s * step, drum, velocity + humanise});
    };
    const bool lastBar = barInSection == sectionBars - 1;
    const bool fill = lastBar && sectionBars >= 4 && (!lastSection || plan.loops);
    const bool closingBar = kind == 'O' && lastBar && !plan.loops;

    if (closingBar) {
        hit(0, ED_KICK, 1.0f);
        hit(0, ED_CRASH, 1.0f);
        return;
    }
    // The calm groove of the menus does without cymbal crashes.
    if ((kind == 'A' || kind == 'B' || kind == 'O') && barInSection == 0 && plan.drumStyle != 3)
        hit(0, ED_CRASH, 0.9f);

    if (kind == 'D') {
        for (int s = 0; s < 16; s += 2)
            hit(s, s == 14 ? ED_OPEN_HAT : ED_HAT, s % 4 == 0 ? 0.6f : 0.4f);
        if (lastBar) {
            for (int s = 8; s < 16; ++s)
                hit(s, ED_SNARE, 0.3f + 0.07f * (s - 8));
        }
        return;
    }

    const bool snares = kind != 'I' || barInSection >= sectionBars / 2;
    for (int s = 0; s < 16; ++s) {
        const bool inFill = fill && s >= 12;
        if (strength(groove.kick[s]) > 0.0f && !(inFill && s > 12))
            hit(s, ED_KICK, strength(groove.kick[s]));
        if (inFill) {
            static const EDrum fillDrums[] = {ED_SNARE, ED_TOM_HIGH, ED_TOM_HIGH, ED_TOM_LOW};
            hit(s, fillDrums[s - 12], 0.7f + 0.08f * (s - 12));
            continue;
        }
        if (snares && strength(groove.snare[s]) > 0.0f)
            hit(s, ED_SNARE, strength(groove.snare[s]));
        if (strength(groove.hat[s]) > 0.0f) {
            const bool open = s == 14 && bar % 2 == 1 && plan.drumStyle != 1;
            hit(s, open ? ED_OPEN_HAT : ED_HAT, strength(groove.hat[s]) * 0.8f);
        }
    }
}

void CComposer::addBass(char kind, int bar, int barInSection, bool closing, SScore& score)
{
    const int chord = chordDegree(kind, barInSection);
    const int next = chordDegree(kind, barInSection + 1);
    int root = midiOf(chord, -2);
    while (root > 52)
        root -= 12;
    while (root < 33)
        root += 12;
    const int fifth = root + (midiOf(chord + 4, -2) - midiOf(chord, -2));
    int approach = midiOf(next - 1, -2);
    while (approach > root + 6)
        approach -= 12;
    while (approach < root - 6)
        approach += 12;

    const SBassNote* line = kBassDriving;
    size_t count = sizeof kBassDriving / sizeof kBassDriving[0];
    int style = plan.bassStyle;
    if (kind == 'D')
        style = 3;
    switch (style) {
    case 1: line = kBassFunk; count = sizeof kBassFunk / sizeof kBassFunk[0]; break;
    case 2: line = kBassLong; count = sizeof kBassLong / sizeof kBassLong[0]; break;
    case 3: line = kBassCalm; count = sizeof kBassCalm / sizeof kBassCalm[0]; break;
    default: break;
    }

    const double barStart = bar * barTime;
    if (closing) {
        score.bass.push_back({barStart, barTime * 1.5, root, 0.9f});
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        int midi = root;
        switch (line[i].what) {
        case 1: midi = fifth; break;
        case 2: midi = root + 12; break;
        case 3: midi = kind == 'I' ? root : approach; break;
        default: break;
        }
        const float velocity = line[i].step % 4 == 0 ? 0.95f : 0.75f;
        score.bass.push_back({barStart + line[i].step * step, line[i].length * step * 0.85, midi, velocity});
    }
}

SScore CComposer::compose()
{
    SScore score;
    const std::vector<SMotifNote> motifA = writeMotif('A');
    const std::vector<SMotifNote> motifB = writeMotif('B');

    int bar = 0;
    int themesA = 0;
    for (size_t si = 0; si < plan.sections.size(); ++si) {
        const SSection& section = plan.sections[si];
        const bool lastSection = si + 1 == plan.sections.size();
        const double sectionStart = bar * barTime;

        if (section.kind == 'A' || section.kind == 'B') {
            const std::vector<SMotifNote>& motif = section.kind == 'A' ? motifA : motifB;
            const bool harmonise = section.kind == 'A' && themesA > 0;
            const int phraseSteps = 128;
            for (int offset = 0; offset < section.bars * 16; offset += phraseSteps) {
                for (const SMotifNote& note : motif) {
                    const int at = offset + note.step;
                    if (at >= section.bars * 16)
                        break;
                    const double start = sectionStart + at * step;
                    const double length = note.length * step * 0.92;
                    const float velocity = note.step % 8 == 0 ? 0.95f : 0.8f;
                    score.lead.push_back({start, length, midiOf(note.degree, 0), velocity});
                    if (harmonise)
                        score.harmony.push_back({start, length, midiOf(note.degree - 2, 0), velocity});
                }
            }
            if (section.kind == 'A')
                ++themesA;
        }

        for (int b = 0; b < section.bars; ++b) {
            addDrums(section.kind, bar + b, b, section.bars, lastSection, score);
            const bool closing = section.kind == 'O' && !plan.loops && b == section.bars - 1;
            addBass(section.kind, bar + b, b, closing, score);

            const int chord = chordDegree(section.kind, b);
            const double barStart = (bar + b) * barTime;
            const double padLength = closing ? barTime * 2.0 : barTime;
            for (int tone = 0; tone < 3; ++tone) {
                int midi = midiOf(chord + 2 * tone, -1);
                if (midi > plan.tonic + 4)
                    midi -= 12;
                score.pad.push_back({barStart, padLength, midi, closing ? 0.9f : 0.7f});
            }

            const bool arpeggio = section.kind == 'B' || section.kind == 'D' || (plan.loops && section.kind == 'A');
            if (arpeggio) {
                static const int pattern[] = {0, 2, 4, 7, 4, 2};
                const int stepsPerNote = plan.arpStepsPerNote;
                int n = 0;
                for (int s = 0; s < 16; s += stepsPerNote, ++n) {
                    const int degree = chord + pattern[n % 6];
                    const float velocity = s % 4 == 0 ? 0.85f : 0.65f;
                    score.arp.push_back({barStart + s * step, stepsPerNote * step * 0.8, midiOf(degree, 0), velocity});
                }
            }
        }
        bar += section.bars;
    }
    score.length = bar * barTime;
    return score;
}
