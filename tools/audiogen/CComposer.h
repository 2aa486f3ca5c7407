#pragma once
#include "CRandom.h"
#include "SScore.h"
#include "SSongPlan.h"

// Writes the notes of a piece from its plan: chords from the progressions, a bass line and drum
// groove by style, and a lead melody built from two motifs that come back, so the tune is
// recognisable rather than a random walk.
class CComposer {
public:
    explicit CComposer(const SSongPlan& plan);
    SScore compose();

private:
    struct SMotifNote {
        int step;   // sixteenth within the phrase (0 to 127 for eight bars)
        int length; // sixteenths
        int degree; // scale index, 0 = tonic
    };

    int chordDegree(char kind, int bar) const;
    int midiOf(int degree, int octaveShift) const;
    bool isChordTone(int degree, int chord) const;
    int nearestChordTone(int from, int chord) const;
    std::vector<SMotifNote> writeMotif(char kind);

    void addDrums(char kind, int bar, int barInSection, int sectionBars, bool lastSection, SScore& score);
    // closing: the last bar of the piece, one long root note.
    void addBass(char kind, int bar, int barInSection, bool closing, SScore& score);

    const SSongPlan& plan;
    CRandom random;
    double step;     // seconds per sixteenth
    double barTime;  // seconds per bar
};
