// The program end to end: a description in, speech out as Ogg Vorbis or Ogg Speex, decoded by
// the engine's own readers. Also the Speex writer on its own, with a known tone.

#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"
#include "tools/support/decoded_sound.h"
#include "tools/support/tool_run.h"
#include "tools/voxgen/speex_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

template <class Source>
bool Decode(const std::string& path, TDecoded* out)
{
    return DecodeWith<Source>(path, out) && !out->samples.empty();
}

double Rms(const std::vector<int16_t>& s)
{
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

TEST(SpeexWriter, ToneKeepsItsLengthAndLoudness)
{
    const struct
    {
        int rate, outRate;
    } cases[] = {{8000, 8000}, {16000, 16000}, {22050, 16000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        std::vector<int16_t> tone(size_t(c.rate) / 2);  // half a second
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = int16_t(8000 * std::sin(2 * M_PI * 440.0 * double(i) / c.rate));
        const std::vector<unsigned char> bytes = EncodeOggSpeex(tone, c.rate);
        TScratchDir dir;
        const std::string path = dir.File("t.spx");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        TDecoded d;
        ASSERT_TRUE(Decode<TSpeexDataSource>(path, &d));
        EXPECT_EQ(d.rate, c.outRate);
        EXPECT_NEAR(d.seconds, 0.5, 0.03);
        EXPECT_NEAR(Rms(d.samples), 8000 / std::sqrt(2.0), 1500);
    }
}

TEST(Voxgen, SpeaksIntoVorbisAndSpeex)
{
    TScratchDir dir;
    const std::string line = dir.Write("line.vox", "voice en+f3\ntext I have to find Pip, and quickly.\n");
    const std::string ogg = dir.File("line.ogg"), spx = dir.File("line.spx");
    TToolResult r = RunTool(TV_VOXGEN_PATH, {line, ogg});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = RunTool(TV_VOXGEN_PATH, {line, spx});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    TDecoded a, b;
    ASSERT_TRUE(Decode<TOggDataSource>(ogg, &a));
    ASSERT_TRUE(Decode<TSpeexDataSource>(spx, &b));
    EXPECT_GT(a.seconds, 1.0);
    EXPECT_NEAR(a.seconds, b.seconds, 0.05);
    EXPECT_GT(Rms(a.samples), 300.0);
    EXPECT_GT(Rms(b.samples), 300.0);
}

TEST(Voxgen, RefusesBadInput)
{
    TScratchDir dir;
    const std::string good = dir.Write("good.vox", "text Hello.\n");
    std::filesystem::create_directory(dir.File("folder.ogg"));
    std::filesystem::create_directory(dir.File("folder.spx"));
    const struct
    {
        std::vector<std::string> args;
        int exitCode;
        const char* output;
    } cases[] = {
        {{good}, 2, "usage"},
        {{good, dir.File("x.wav")}, 2, "usage"},
        {{dir.File("missing.vox"), dir.File("x.ogg")}, 1, "voxgen:"},
        {{dir.Write("bad.vox", "speed 5\ntext a\n"), dir.File("x.ogg")}, 1, "bad.vox:1:"},
        {{dir.Write("voice.vox", "voice zz-nowhere\ntext a\n"), dir.File("x.ogg")}, 1, "espeak-ng failed"},
        {{good, dir.File("folder.ogg")}, 1, "voxgen:"},
        {{good, dir.File("folder.spx")}, 1, "voxgen: cannot write"},
    };
    for (const auto& c : cases) {
        const TToolResult r = RunTool(TV_VOXGEN_PATH, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back() << ": " << r.output;
        EXPECT_NE(r.output.find(c.output), std::string::npos) << r.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.ogg")));
}

}  // namespace
