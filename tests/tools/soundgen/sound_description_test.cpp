// Reading sound descriptions: what each command sets, and the faults that must be reported.

#include "tools/soundgen/sound_description.h"
#include "tools/support/tool_run.h"

#include <gtest/gtest.h>

namespace {

TSoundDescription Parse(const std::string& text)
{
    TSoundDescription d;
    std::string error;
    EXPECT_TRUE(ParseSoundDescription("test.snd", text, &d, &error)) << error;
    return d;
}

std::string ParseError(const std::string& text)
{
    TSoundDescription d;
    std::string error;
    EXPECT_FALSE(ParseSoundDescription("test.snd", text, &d, &error)) << text;
    return error;
}

TEST(SoundDescription, NoteNamesGiveEqualTemperedFrequencies)
{
    double hz = 0;
    ASSERT_TRUE(NoteFrequency("A4", &hz));
    EXPECT_DOUBLE_EQ(hz, 440.0);
    ASSERT_TRUE(NoteFrequency("A5", &hz));
    EXPECT_DOUBLE_EQ(hz, 880.0);
    ASSERT_TRUE(NoteFrequency("C4", &hz));
    EXPECT_NEAR(hz, 261.626, 0.001);
    double sharp = 0, flat = 0;
    ASSERT_TRUE(NoteFrequency("C#4", &sharp));
    ASSERT_TRUE(NoteFrequency("Db4", &flat));
    EXPECT_DOUBLE_EQ(sharp, flat);
    for (const char* bad : {"H4", "A9", "A", "a4", "A#", "A44", "", "C##4"})
        EXPECT_FALSE(NoteFrequency(bad, &hz)) << bad;
}

TEST(SoundDescription, CommandsSetTheVoiceOfLaterNotes)
{
    const TSoundDescription d = Parse("# a comment line\n"
                                      "rate 44100\nchannels 2   # stereo\n"
                                      "tempo 60\nwave square\nvolume 0.5\npan -1\n"
                                      "envelope 0.1 0.2 0.5 0.3\n"
                                      "note A4 2\n"
                                      "wave saw\n"
                                      "chord C4 E4 1\n"
                                      "rest 1\n"
                                      "tone 100~200 0.5\n");
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_FALSE(d.loop);
    ASSERT_EQ(d.events.size(), 4u);
    const TToneEvent& a = d.events[0];
    EXPECT_EQ(a.wave, EWave::kSquare);
    EXPECT_DOUBLE_EQ(a.start, 0);
    EXPECT_DOUBLE_EQ(a.length, 2.0);  // two beats at 60 per minute
    EXPECT_DOUBLE_EQ(a.volume, 0.5);
    EXPECT_DOUBLE_EQ(a.pan, -1);
    EXPECT_DOUBLE_EQ(a.envelope.release, 0.3);
    EXPECT_EQ(a.line, 9);
    // The chord's notes start together, after the first note.
    EXPECT_EQ(d.events[1].wave, EWave::kSaw);
    EXPECT_DOUBLE_EQ(d.events[1].start, 2.0);
    EXPECT_DOUBLE_EQ(d.events[2].start, 2.0);
    // A rest of one beat, then a gliding tone.
    EXPECT_DOUBLE_EQ(d.events[3].start, 4.0);
    EXPECT_DOUBLE_EQ(d.events[3].fromHz, 100);
    EXPECT_DOUBLE_EQ(d.events[3].toHz, 200);
    EXPECT_DOUBLE_EQ(d.timeline, 4.5);
}

TEST(SoundDescription, RewindLaysVoicesOverEachOther)
{
    const TSoundDescription d = Parse("tempo 120\nloop\nnote C4 4\nrewind\nnote E4 1\nnote G4 1\n");
    EXPECT_TRUE(d.loop);
    ASSERT_EQ(d.events.size(), 3u);
    EXPECT_DOUBLE_EQ(d.events[1].start, 0);
    EXPECT_DOUBLE_EQ(d.events[2].start, 0.5);
    // The timeline is the longest voice, not the sum.
    EXPECT_DOUBLE_EQ(d.timeline, 2.0);
}

TEST(SoundDescription, FaultsNameTheFileAndLine)
{
    EXPECT_EQ(ParseError("tone 440 1\nwobble 3\n"), "test.snd:2: unknown command 'wobble'");
    EXPECT_EQ(ParseError("tone 440 abc\n"), "test.snd:1: bad length in seconds 'abc'");
    EXPECT_EQ(ParseError("tone 440\n"), "test.snd:1: 'tone' takes 2 value(s), found 1");
    EXPECT_EQ(ParseError("volume 2\ntone 440 1\n"), "test.snd:1: volume '2' out of range (0 to 1)");
    EXPECT_EQ(ParseError("wave fuzz\n"), "test.snd:1: unknown wave 'fuzz' (sine, square, triangle, saw or noise)");
    EXPECT_EQ(ParseError("note X4 1\n"), "test.snd:1: bad note 'X4' (a name such as C4, F#3 or Bb5)");
    EXPECT_EQ(ParseError("channels 3\n"), "test.snd:1: channel count '3' out of range (1 to 2)");
    EXPECT_EQ(ParseError("channels 1.5\n"), "test.snd:1: channel count must be 1 or 2");
    // Checked once the rate is known, which may come after the notes.
    EXPECT_EQ(ParseError("tone 440 1\ntone 6000 1\nrate 8000\n"),
              "test.snd:2: frequency 6000 Hz is not below half the sample rate (8000 Hz)");
    EXPECT_EQ(ParseError("# nothing but a comment\nrate 8000\n"),
              "test.snd:2: the description makes no sound (no tone, note or chord)");
    EXPECT_EQ(ParseError(""), "test.snd:0: the description makes no sound (no tone, note or chord)");
    EXPECT_NE(ParseError("chord C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5 A5 B5 C6 D6 E6 1\n").find("at most 16"),
              std::string::npos);
    EXPECT_NE(ParseError("pause 400\npause 400\ntone 440 1\n").find("past 600 seconds"), std::string::npos);
    EXPECT_NE(ParseError("rate 96000\nchannels 2\npause 500\ntone 440 1\n").find("too long"), std::string::npos);
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += "envelope 0 0 1 60\nchord C4 E4 G4 C5 E5 G5 C6 E6 G6 C7 E7 G7 C4 E4 G4 C5 0.01\nrewind\n";
    EXPECT_NE(ParseError(many).find("too many and too long"), std::string::npos);
    EXPECT_NE(ParseError("tone nan 1\n").find("bad frequency"), std::string::npos);
    EXPECT_NE(ParseError("tone 1e999 1\n").find("bad frequency"), std::string::npos);
}

TEST(SoundDescription, BinaryGarbageIsReportedNotTrusted)
{
    const std::string error = ParseError(BinaryGarbage(4096));
    EXPECT_EQ(error.rfind("test.snd:", 0), 0u) << error;
}

}  // namespace
