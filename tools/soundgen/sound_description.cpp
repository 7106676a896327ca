#include "tools/soundgen/sound_description.h"

#include "tools/description/description_reader.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr size_t kMaxChordNotes = 16;
constexpr size_t kMaxEvents = 100000;
// Bounds on memory (samples held) and time (note samples computed), so that a mistyped
// description ends with a message instead of exhausting the machine.
constexpr double kMaxSamples = 32e6;
constexpr double kMaxNoteSamples = 400e6;

// What the commands before the current line have set.
struct TVoiceState
{
    double tempo = 120;
    EWave wave = EWave::kSine;
    TEnvelope envelope;
    double volume = 1;
    double pan = 0;
    double cursor = 0;
};

bool ParseWave(const std::string& word, EWave* wave)
{
    static const std::map<std::string, EWave> kWaves = {{"sine", EWave::kSine},
                                                        {"square", EWave::kSquare},
                                                        {"triangle", EWave::kTriangle},
                                                        {"saw", EWave::kSaw},
                                                        {"noise", EWave::kNoise}};
    const auto it = kWaves.find(word);
    if (it == kWaves.end())
        return false;
    *wave = it->second;
    return true;
}

class TSoundParser
{
public:
    TSoundParser(const std::string& source, const std::string& text, TSoundDescription* out)
        : mReader(source, text), mOut(out)
    {
    }

    bool Run(std::string* error)
    {
        *mOut = TSoundDescription();
        std::vector<std::string> words;
        while (mReader.Next(&words)) {
            if (!Command(words))
                break;
        }
        if (mReader.Error().empty())
            Finish();
        *error = mReader.Error();
        return error->empty();
    }

private:
    bool Expect(const std::vector<std::string>& words, size_t count)
    {
        if (words.size() != count)
            return mReader.Fail("'" + words[0] + "' takes " + std::to_string(count - 1) + " value(s), found " +
                                std::to_string(words.size() - 1));
        return true;
    }

    bool Command(const std::vector<std::string>& w)
    {
        const std::string& c = w[0];
        double v = 0;
        if (c == "rate") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 8000, 96000, &v, "sample rate"))
                return false;
            mOut->rate = static_cast<int>(v);
        } else if (c == "channels") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 1, 2, &v, "channel count"))
                return false;
            if (v != 1 && v != 2)
                return mReader.Fail("channel count must be 1 or 2");
            mOut->channels = static_cast<int>(v);
        } else if (c == "quality") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], -0.1, 1, &mOut->quality, "quality"))
                return false;
        } else if (c == "tempo") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 1, 1000, &mState.tempo, "tempo"))
                return false;
        } else if (c == "wave") {
            if (!Expect(w, 2))
                return false;
            if (!ParseWave(w[1], &mState.wave))
                return mReader.Fail("unknown wave '" + w[1] + "' (sine, square, triangle, saw or noise)");
        } else if (c == "envelope") {
            TEnvelope& e = mState.envelope;
            if (!Expect(w, 5) || !mReader.NumberIn(w[1], 0, 60, &e.attack, "attack") ||
                !mReader.NumberIn(w[2], 0, 60, &e.decay, "decay") ||
                !mReader.NumberIn(w[3], 0, 1, &e.sustain, "sustain level") ||
                !mReader.NumberIn(w[4], 0, 60, &e.release, "release"))
                return false;
        } else if (c == "volume") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 0, 1, &mState.volume, "volume"))
                return false;
        } else if (c == "pan") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], -1, 1, &mState.pan, "pan"))
                return false;
        } else if (c == "tone") {
            return Expect(w, 3) && Tone(w[1], w[2]);
        } else if (c == "note") {
            return Expect(w, 3) && Notes({w[1]}, w[2]);
        } else if (c == "chord") {
            if (w.size() < 3)
                return mReader.Fail("'chord' takes note names and a length in beats");
            if (w.size() - 2 > kMaxChordNotes)
                return mReader.Fail("a chord holds at most " + std::to_string(kMaxChordNotes) + " notes");
            return Notes(std::vector<std::string>(w.begin() + 1, w.end() - 1), w.back());
        } else if (c == "rest") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 0, kMaxSoundSeconds, &v, "length in beats"))
                return false;
            return Advance(v * 60.0 / mState.tempo);
        } else if (c == "pause") {
            if (!Expect(w, 2) || !mReader.NumberIn(w[1], 0, kMaxSoundSeconds, &v, "length in seconds"))
                return false;
            return Advance(v);
        } else if (c == "rewind") {
            if (!Expect(w, 1))
                return false;
            mState.cursor = 0;
        } else if (c == "loop") {
            if (!Expect(w, 1))
                return false;
            mOut->loop = true;
        } else {
            return mReader.Fail("unknown command '" + c + "'");
        }
        return true;
    }

    bool Advance(double seconds)
    {
        mState.cursor += seconds;
        if (mState.cursor > kMaxSoundSeconds)
            return mReader.Fail("the sound would run past " + std::to_string(int(kMaxSoundSeconds)) + " seconds");
        mOut->timeline = std::max(mOut->timeline, mState.cursor);
        return true;
    }

    bool Add(double fromHz, double toHz, double seconds)
    {
        if (mOut->events.size() >= kMaxEvents)
            return mReader.Fail("too many notes");
        TToneEvent e;
        e.start = mState.cursor;
        e.length = seconds;
        e.fromHz = fromHz;
        e.toHz = toHz;
        e.wave = mState.wave;
        e.envelope = mState.envelope;
        e.volume = mState.volume;
        e.pan = mState.pan;
        e.line = mReader.Line();
        mOut->events.push_back(e);
        return true;
    }

    bool Tone(const std::string& frequency, const std::string& length)
    {
        double from = 0, to = 0, seconds = 0;
        const size_t tilde = frequency.find('~');
        if (!mReader.NumberIn(frequency.substr(0, tilde), 1, 48000, &from, "frequency"))
            return false;
        to = from;
        if (tilde != std::string::npos && !mReader.NumberIn(frequency.substr(tilde + 1), 1, 48000, &to, "frequency"))
            return false;
        if (!mReader.NumberIn(length, 0.0001, kMaxSoundSeconds, &seconds, "length in seconds"))
            return false;
        return Add(from, to, seconds) && Advance(seconds);
    }

    bool Notes(const std::vector<std::string>& names, const std::string& beats)
    {
        double length = 0;
        if (!mReader.NumberIn(beats, 0.0001, kMaxSoundSeconds, &length, "length in beats"))
            return false;
        const double seconds = length * 60.0 / mState.tempo;
        for (const std::string& name : names) {
            double hz = 0;
            if (!NoteFrequency(name, &hz))
                return mReader.Fail("bad note '" + name + "' (a name such as C4, F#3 or Bb5)");
            if (!Add(hz, hz, seconds))
                return false;
        }
        return Advance(seconds);
    }

    // Checks that need the whole description: the rate may come after the notes.
    void Finish()
    {
        if (mOut->events.empty()) {
            mReader.FailAt(mReader.Line(), "the description makes no sound (no tone, note or chord)");
            return;
        }
        double end = mOut->timeline, work = 0;
        for (const TToneEvent& e : mOut->events) {
            end = std::max(end, e.start + e.length + e.envelope.release);
            work += (e.length + e.envelope.release) * mOut->rate;
        }
        if (end * mOut->rate * mOut->channels > kMaxSamples) {
            mReader.FailAt(mReader.Line(), "the sound is too long for its rate and channels");
            return;
        }
        if (work > kMaxNoteSamples) {
            mReader.FailAt(mReader.Line(), "the notes are too many and too long to render");
            return;
        }
        const double nyquist = mOut->rate / 2.0;
        for (const TToneEvent& e : mOut->events) {
            if (e.wave != EWave::kNoise && std::max(e.fromHz, e.toHz) >= nyquist) {
                mReader.FailAt(e.line, "frequency " + std::to_string(int(std::max(e.fromHz, e.toHz))) +
                                           " Hz is not below half the sample rate (" + std::to_string(mOut->rate) +
                                           " Hz)");
                return;
            }
        }
    }

    TDescriptionReader mReader;
    TSoundDescription* mOut;
    TVoiceState mState;
};

}  // namespace

bool NoteFrequency(const std::string& name, double* hz)
{
    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (name.size() < 2 || name.size() > 3)
        return false;
    const char letter = name[0];
    if (letter < 'A' || letter > 'G')
        return false;
    int semitone = kSemitones[letter - 'A'];
    size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') {
        semitone += name[at] == '#' ? 1 : -1;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8')
        return false;
    const int octave = name[at] - '0';
    const int midi = 12 * (octave + 1) + semitone;
    *hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

bool ParseSoundDescription(const std::string& sourceName, const std::string& text, TSoundDescription* out,
                           std::string* error)
{
    TSoundParser parser(sourceName, text, out);
    return parser.Run(error);
}
