#pragma once

// The beats and bars of a tempo laid over the piece's time: where they fall,
// which bar and beat a moment is in, and moments moved onto them. Beats
// before the first downbeat belong to bar 0 (a pickup).
struct BeatGrid {
    double bpm = 120.0;
    double firstDownbeat = 0.0; // seconds
    int beatsPerBar = 4;

    double beatLength() const { return 60.0 / bpm; }
    double barLength() const { return beatLength() * beatsPerBar; }

    // The beat at or before `time`, counted from the first downbeat (0).
    long beatIndexAt(double time) const;
    double beatTime(long index) const { return firstDownbeat + index * beatLength(); }

    struct Position {
        long bar;        // from 1
        int beat;        // from 1 to beatsPerBar
        double fraction; // of the beat, from 0 to 1
    };
    Position positionAt(double time) const;

    // The first beat (bar) after `time`, and the last before it; "before"
    // leaves out one that `time` has only just passed, so that a key held
    // down, or pressed while the time runs, goes back a beat at a time.
    double nextBeat(double time) const;
    double previousBeat(double time) const;
    double nextBar(double time) const;
    double previousBar(double time) const;
    // The bar that `time` is in.
    double barStart(double time) const;

    // `time` on the nearest sixteenth note.
    double nearestSixteenth(double time) const;
};
