// The program end to end: descriptions in, Ogg Vorbis out, decoded by the engine's own reader.

#include "sound/sources/ogg_data_source.h"
#include "tools/support/decoded_sound.h"
#include "tools/support/tool_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

bool Decode(const std::string& path, TDecoded* out)
{
    return DecodeWith<TOggDataSource>(path, out);
}

// Frequency from the rising zero crossings of one channel between two frames.
double CrossingFrequency(const TDecoded& d, int channel, size_t first, size_t last)
{
    int rising = 0;
    size_t firstCross = 0, lastCross = 0;
    for (size_t f = first + 1; f < last; ++f) {
        const int16_t a = d.samples[(f - 1) * d.channels + channel];
        const int16_t b = d.samples[f * d.channels + channel];
        if (a < 0 && b >= 0) {
            if (rising == 0)
                firstCross = f;
            lastCross = f;
            ++rising;
        }
    }
    if (rising < 2)
        return 0;
    return (rising - 1) * double(d.rate) / double(lastCross - firstCross);
}

double Rms(const TDecoded& d, int channel, size_t first, size_t last)
{
    double sum = 0;
    for (size_t f = first; f < last; ++f) {
        const double v = d.samples[f * d.channels + channel];
        sum += v * v;
    }
    return std::sqrt(sum / double(last - first));
}

class SoundgenProgram : public testing::Test
{
protected:
    TToolResult Run(const std::vector<std::string>& args) { return RunTool(TV_SOUNDGEN_PATH, args); }
    TScratchDir mDir;
};

TEST_F(SoundgenProgram, AMonoToneHasItsLengthPitchAndLevel)
{
    const std::string in = mDir.Write("a.snd", "rate 22050\nvolume 0.5\nenvelope 0.01 0 1 0.01\ntone 440 1\n");
    const TToolResult r = Run({in, mDir.File("a.ogg")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    TDecoded d;
    ASSERT_TRUE(Decode(mDir.File("a.ogg"), &d));
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.channels, 1);
    // One second plus the release, to the sample.
    EXPECT_EQ(d.samples.size(), 22271u);
    EXPECT_NEAR(d.seconds, 1.01, 0.001);
    EXPECT_NEAR(CrossingFrequency(d, 0, 1000, 21000), 440.0, 1.0);
    EXPECT_NEAR(Rms(d, 0, 1000, 21000), 0.5 * 32767 / std::sqrt(2.0), 400.0);
}

TEST_F(SoundgenProgram, StereoVoicesKeepTheirSidesAndPitches)
{
    const std::string in = mDir.Write("s.snd", "rate 44100\nchannels 2\nvolume 0.4\n"
                                               "pan -1\ntone 300 2\nrewind\npan 1\ntone 1000 2\n");
    ASSERT_EQ(Run({in, mDir.File("s.ogg")}).exitCode, 0);
    TDecoded d;
    ASSERT_TRUE(Decode(mDir.File("s.ogg"), &d));
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_NEAR(d.seconds, 2.005, 0.001);
    EXPECT_NEAR(CrossingFrequency(d, 0, 4410, 80000), 300.0, 1.0);
    EXPECT_NEAR(CrossingFrequency(d, 1, 4410, 80000), 1000.0, 2.0);
    EXPECT_NEAR(Rms(d, 0, 4410, 80000), 0.4 * 32767 / std::sqrt(2.0), 400.0);
}

TEST_F(SoundgenProgram, NotesFollowTheTempo)
{
    // Two beats of A3 at 150 per minute, then two beats of silence: 1.6 s in all.
    const std::string in = mDir.Write("n.snd", "tempo 150\nenvelope 0 0 1 0\nnote A3 2\nrest 2\n");
    ASSERT_EQ(Run({in, mDir.File("n.ogg")}).exitCode, 0);
    TDecoded d;
    ASSERT_TRUE(Decode(mDir.File("n.ogg"), &d));
    EXPECT_EQ(d.samples.size(), size_t(1.6 * 22050 + 0.5));
    EXPECT_NEAR(CrossingFrequency(d, 0, 500, 17000), 220.0, 1.0);
    EXPECT_LT(Rms(d, 0, 18500, 35000), 50.0);
}

TEST_F(SoundgenProgram, BadInputGivesAMessageAndAnExitCodeAndNoFile)
{
    const std::string out = mDir.File("bad.ogg");
    TToolResult r = Run({mDir.Write("bad.snd", "rate 22050\ntone 440 x\n"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("bad.snd:2: bad length in seconds 'x'"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));

    r = Run({mDir.File("missing.snd"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot read"), std::string::npos) << r.output;

    r = Run({mDir.Write("ok.snd", "tone 440 0.1\n"), mDir.File("ok.snd/x.ogg")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot write"), std::string::npos) << r.output;

    r = Run({"only-one-argument"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.output.find("usage"), std::string::npos);
}

TEST_F(SoundgenProgram, AFailedRunLeavesAnEarlierFileAlone)
{
    const std::string out = mDir.File("keep.ogg");
    ASSERT_EQ(Run({mDir.Write("good.snd", "tone 440 0.2\n"), out}).exitCode, 0);
    const auto size = std::filesystem::file_size(out);
    EXPECT_EQ(Run({mDir.Write("bad.snd", "tone\n"), out}).exitCode, 1);
    EXPECT_EQ(std::filesystem::file_size(out), size);
    TDecoded d;
    EXPECT_TRUE(Decode(out, &d));
}

}  // namespace
