#include "tools/voxgen/voice_description.h"
#include "tools/voxgen/wav_reader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(VoiceDescription, ReadsCommandsAndRefusesBadOnes)
{
    TVoiceDescription d;
    std::string error;
    ASSERT_TRUE(ParseVoiceDescription("a.vox", "# Mira\nvoice en+f3\nspeed 140\npitch 70\ntext I  have to find Pip.\n",
                                      &d, &error))
        << error;
    EXPECT_EQ(d.voice, "en+f3");
    EXPECT_EQ(d.speed, 140);
    EXPECT_EQ(d.pitch, 70);
    EXPECT_EQ(d.text, "I have to find Pip.");

    const struct
    {
        const char* text;
        const char* error;
    } bad[] = {
        {"voice en\n", "a.vox:1: no \"text\" to speak"},
        {"text a\ntext b\n", "a.vox:2: a second \"text\""},
        {"text\n", "a.vox:1: \"text\" needs the words to speak"},
        {"shout loud\ntext a\n", "a.vox:1: unknown command \"shout\""},
        {"voice -w\ntext a\n", "a.vox:1: \"voice\" needs one voice name"},
        {"voice en;rm\ntext a\n", "a.vox:1: \"voice\" needs one voice name"},
        {"speed 9000\ntext a\n", "a.vox:1:"},
        {"pitch high\ntext a\n", "a.vox:1:"},
    };
    for (const auto& b : bad) {
        std::string e;
        EXPECT_FALSE(ParseVoiceDescription("a.vox", b.text, &d, &e)) << b.text;
        EXPECT_EQ(e.rfind(b.error, 0), 0u) << b.text << " gave " << e;
    }
}

std::vector<unsigned char> Wav(int format, int channels, int rate, int bits, std::vector<int16_t> samples,
                               bool dataFirst = false, uint32_t dataLength = UINT32_MAX)
{
    std::vector<unsigned char> out;
    auto put = [&](const void* p, size_t n) {
        out.insert(out.end(), (const unsigned char*)p, (const unsigned char*)p + n);
    };
    auto u32 = [&](uint32_t v) { put(&v, 4); };
    auto u16 = [&](uint16_t v) { put(&v, 2); };
    put("RIFF", 4);
    u32(0);
    put("WAVE", 4);
    auto data = [&] {
        put("data", 4);
        u32(dataLength == UINT32_MAX ? uint32_t(samples.size() * 2) : dataLength);
        put(samples.data(), samples.size() * 2);
    };
    if (dataFirst)
        data();
    put("fmt ", 4);
    u32(16);
    u16(uint16_t(format));
    u16(uint16_t(channels));
    u32(uint32_t(rate));
    u32(uint32_t(rate * channels * bits / 8));
    u16(uint16_t(channels * bits / 8));
    u16(uint16_t(bits));
    if (!dataFirst)
        data();
    return out;
}

TEST(WavReader, ReadsPcmAndRefusesTheRest)
{
    TWavSound s;
    std::string error;
    ASSERT_TRUE(ParseWav(Wav(1, 1, 22050, 16, {1, -2, 3}), &s, &error)) << error;
    EXPECT_EQ(s.rate, 22050);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.samples, (std::vector<int16_t>{1, -2, 3}));
    // A data length past the end (a synthesiser writing to a pipe) takes what is there.
    ASSERT_TRUE(ParseWav(Wav(1, 2, 22050, 16, {1, 2, 3, 4}, false, 0x7FFFFFFF), &s, &error)) << error;
    EXPECT_EQ(s.samples.size(), 4u);

    std::vector<unsigned char> noData = Wav(1, 1, 8000, 16, {});
    noData.resize(noData.size() - 8);
    const struct
    {
        const char* what;
        std::vector<unsigned char> bytes;
    } bad[] = {
        {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
        {"8-bit", Wav(1, 1, 22050, 8, {1})},
        {"float", Wav(3, 1, 22050, 16, {1})},
        {"three channels", Wav(1, 3, 22050, 16, {1, 2, 3})},
        {"data before format", Wav(1, 1, 22050, 16, {1}, true)},
        {"no data", noData},
        {"truncated header", {'R', 'I', 'F', 'F'}},
    };
    for (const auto& b : bad) {
        std::string e;
        EXPECT_FALSE(ParseWav(b.bytes, &s, &e)) << b.what;
        EXPECT_FALSE(e.empty()) << b.what;
    }
}

}  // namespace
