#pragma once
// A generated sound: what the text description says, ready to be rendered.
//
// Description (one command per line; lengths of notes in beats, of tones in seconds):
//   rate 22050                  sample rate in Hz (8000 to 96000)
//   channels 2                  1 or 2
//   quality 0.4                 encoder quality, -0.1 to 1
//   tempo 120                   beats per minute
//   wave sine                   sine, square, triangle, saw or noise
//   envelope 0.01 0.05 0.7 0.1  attack and decay (s), sustain level (0 to 1), release (s)
//   volume 0.5                  0 to 1
//   pan -0.5                    -1 (left) to 1 (right); stereo only
//   tone 440 0.25               frequency (or glide "440~880") and seconds
//   note C#4 1                  note name (C to B, # or b, octave 0 to 8) and beats
//   chord C4 E4 G4 2            several notes together, then beats
//   rest 0.5 / pause 0.1        silence in beats / in seconds
//   rewind                      back to the start, to lay another voice over the first
//   loop                        the sound is exactly as long as its timeline; release tails
//                               that run past the end wrap to the start, so it loops cleanly
// A note's release sounds after its length; without "loop" the sound ends when the last
// release has died away.

#include <string>
#include <vector>

enum class EWave
{
    kSine,
    kSquare,
    kTriangle,
    kSaw,
    kNoise,
};

struct TEnvelope
{
    double attack = 0.005;
    double decay = 0.0;
    double sustain = 1.0;
    double release = 0.005;
};

struct TToneEvent
{
    double start = 0;   // seconds
    double length = 0;  // seconds, before the release
    double fromHz = 0;
    double toHz = 0;  // equal to fromHz unless the tone glides
    EWave wave = EWave::kSine;
    TEnvelope envelope;
    double volume = 1;
    double pan = 0;
    int line = 0;  // in the description, for messages
};

struct TSoundDescription
{
    int rate = 22050;
    int channels = 1;
    double quality = 0.4;
    bool loop = false;
    double timeline = 0;  // seconds: the end of the latest note, release not counted
    std::vector<TToneEvent> events;
};

// Longest sound the generator makes, in seconds.
constexpr double kMaxSoundSeconds = 600;

// Parses `text` (named `sourceName` in messages). False with "<source>:<line>: <what>" in
// *error on the first fault.
bool ParseSoundDescription(const std::string& sourceName, const std::string& text, TSoundDescription* out,
                           std::string* error);

// Frequency of a note name such as "A4" (440 Hz), "C#5" or "Bb3"; false when it is none.
bool NoteFrequency(const std::string& name, double* hz);
