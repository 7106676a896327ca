// The demo's data as a whole, read from the built data folder through the engine's own file
// system (archives included): every string key that a layout or a script shows or speaks has a
// text, every line spoken has its voice, every picture named is there, and the voices are heard
// over the music at the default levels.

#include "game/demo/demo_run.h"

#include "core/files/file.h"
#include "core/files/flat_file.h"
#include "sound/sources/ogg_data_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first capture of every match of `pattern` in `text`.
std::vector<std::string> Captures(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> found;
    for (std::sregex_iterator m(text.begin(), text.end(), pattern), end; m != end; ++m)
        found.push_back((*m)[1]);
    return found;
}

class DemoData : public testing::Test
{
protected:
    void SetUp() override
    {
        TFile::ShutDownFileSystem();
        TFlatFile::mFlatFiles.clear();
        TFile::mUserDir = TFile::mCommonDir = TFile::mDesktopDir = "";
        TFile::mResourceDir = BuildRoot().c_str();
        TFile::ScanForResources();
        for (const auto& entry : fs::recursive_directory_iterator(mAssets)) {
            const std::string rel = fs::relative(entry.path(), mAssets).generic_string();
            if (entry.path().extension() == ".lua")
                mScripts[rel] = ReadText(entry.path());
            else if (entry.path().extension() == ".xml" && rel.find("strings") != std::string::npos)
                ReadStrings(rel, ReadText(entry.path()));
        }
    }
    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        TFlatFile::mFlatFiles.clear();
        TFile::mResourceDir = "";
    }

    void ReadStrings(const std::string& file, const std::string& xml)
    {
        static const std::regex row(R"(<Row><Cell><Data ss:Type="String">([^<]*)</Data></Cell>)"
                                    R"(<Cell><Data ss:Type="String">([^<]*)</Data>)");
        for (std::sregex_iterator m(xml.begin(), xml.end(), row), end; m != end; ++m)
            mStrings[(*m)[1]] = {(*m)[2], file};
    }

    // The scripts whose path starts with `prefix`, joined.
    std::string ScriptsUnder(const std::string& prefix) const
    {
        std::string code;
        for (const auto& [path, text] : mScripts)
            if (path.rfind(prefix, 0) == 0)
                code += text + "\n";
        return code;
    }

    // Keys the scene scripts show on screen rather than speak: floating names and texts
    // fetched for the interface.
    std::set<std::string> ShownKeys() const
    {
        const std::string quest = ScriptsUnder("quest/");
        std::set<std::string> shown;
        for (const char* pattern : {R"(\bpoint_at_name\s*=\s*"([^"]+)\")", R"(\bgrabstring\s*\(\s*"([^"]+)\")"})
            for (const std::string& key : Captures(quest, std::regex(pattern)))
                shown.insert(key);
        return shown;
    }

    struct TText
    {
        std::string text;
        std::string file;
    };
    const fs::path mAssets = fs::path(BuildRoot()) / "assets";
    std::map<std::string, std::string> mScripts;
    std::map<std::string, TText> mStrings;
};

TEST_F(DemoData, EveryKeyTheLayoutsAndScriptsUseHasAText)
{
    std::string code;
    for (const auto& [path, text] : mScripts)
        code += text + "\n";
    const char* const patterns[] = {
        // Layouts: labels (a "#" label is shown as it stands), the buttons' label arguments, texts
        // fetched by key.
        R"(\blabel\s*=\s*"([^"#][^"]*)\")",
        R"(\bLabelButton\s*\(\s*"[^"]*"\s*,[^,]+,[^,]+,\s*"([^"]+)\")",
        R"(\b(?:MenuButton|SmallButton)\s*\(\s*"[^"]*"\s*,\s*"([^"]+)\")",
        R"([^:\w]GetString\s*\(\s*"([^"]+)\")",
        // Scripts: speech, choices, texts fetched by key, the fields of actors and progress data.
        R"(\b(?:Speak|Choice|grabspeechline|Say|grabstring)\s*\(\s*"([^"]+)\")",
        R"(\b(?:SayAndWait|Remark)\s*\(\s*\w+\s*,\s*"([^"]+)\")",
        R"(\b(?:point_at_name|cantuse)\s*=\s*"([^"]+)\")",
        // A conversation's answers, by the key of the question.
        R"(\b\w+_ask_\w+\s*=\s*"([^"]+)\")",
    };
    std::set<std::string> keys;
    for (const char* pattern : patterns)
        for (const std::string& key : Captures(code, std::regex(pattern)))
            keys.insert(key);
    // The progress data's items, quests and diary entries.
    for (const std::string& key :
         Captures(mScripts["quest/progress.lua"], std::regex(R"(\b(?:text|title)\s*=\s*"([^"]+)\")")))
        keys.insert(key);
    // An award's notice shows its title and what it was for.
    for (const std::string& award : Captures(code, std::regex(R"(\{\s*"(award_\w+)\"\s*,\s*\d+\s*\})"))) {
        keys.insert(award + "_title");
        keys.insert(award + "_body");
    }
    EXPECT_GE(keys.size(), 150u);
    for (const std::string& key : keys)
        EXPECT_TRUE(mStrings.count(key) && !mStrings.at(key).text.empty()) << "no text for " << key;
}

// A scene's string table holds the lines its people say and the names shown over them: each
// line said has its voice, saying the words the subtitle shows. So do the items' remarks.
TEST_F(DemoData, EveryLineSpokenHasItsVoice)
{
    const std::set<std::string> shown = ShownKeys();
    size_t lines = 0;
    for (const auto& [key, string] : mStrings) {
        const bool scene = string.file.rfind("quest/", 0) == 0;
        if ((!scene && key.rfind("cantuse_", 0) != 0) || shown.count(key))
            continue;
        ++lines;
        const std::string base = "audio/vox/" + key;
        const bool vorbis = TFile::Exists((base + ".ogg").c_str());
        EXPECT_TRUE(vorbis || TFile::Exists((base + ".spx").c_str())) << "no voice for " << key;
        // The words it says, from its description in the sources.
        const std::string description =
            ReadText(fs::path(TV_TEST_SOURCE_DIR) / "assets/packed/voices" / (base + (vorbis ? ".ogg" : ".spx") + ".vox"));
        std::smatch said;
        ASSERT_TRUE(std::regex_search(description, said, std::regex("\ntext ([^\n]*)"))) << key;
        std::string subtitle = std::regex_replace(string.text, std::regex("^[A-Z]+:"), "");
        subtitle = std::regex_replace(subtitle, std::regex(R"(\\n)"), " ");
        subtitle = std::regex_replace(subtitle, std::regex("&apos;"), "'");
        EXPECT_EQ(said[1].str(), subtitle) << key;
    }
    EXPECT_GE(lines, 45u);
}

TEST_F(DemoData, EveryPictureNamedIsThere)
{
    std::set<std::string> pictures;
    // Layouts and dialog scripts name their pictures in full.
    for (const auto& [path, text] : mScripts)
        for (const std::string& name : Captures(text, std::regex(R"rx("([a-z]\w*/[\w/]+\.png)")rx")))
            pictures.insert(name);
    // A scene's props name theirs without extension, from the scene's folder.
    for (const auto& [path, text] : mScripts) {
        if (path.rfind("quest/", 0) != 0 || path.find('/', 6) == std::string::npos)
            continue;
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        for (const char* pattern : {R"(\bimage\s*=\s*"([^"]+)\")", R"(\bLoadImage\s*\(\s*"([^"]+)\")"})
            for (const std::string& name : Captures(text, std::regex(pattern)))
                pictures.insert((name.find('/') == std::string::npos ? folder + name : name) + ".png");
    }
    // The award notice's picture.
    for (const std::string& name : Captures(mScripts["quest/shared.lua"], std::regex(R"(_PICTURE\s*=\s*"([^"]+)\")")))
        pictures.insert(name);
    EXPECT_GE(pictures.size(), 50u);
    for (const std::string& picture : pictures)
        EXPECT_TRUE(TFile::Exists(picture.c_str())) << picture;
}

// The loudness of a decoded sound: the root mean square of its samples.
double Loudness(const char* name)
{
    TOggDataSource sound;
    if (!sound.InitFromFile(name, false))
        return 0;
    std::vector<int16_t> pcm(sound.GetRawLength() / 2);
    sound.Read(pcm.data(), 0, static_cast<unsigned>(pcm.size() * 2));
    double sum = 0;
    for (int16_t s : pcm)
        sum += double(s) * s;
    return pcm.empty() ? 0 : std::sqrt(sum / double(pcm.size()));
}

// The loudest of the music played in the scenes.
double MusicInPlay()
{
    double music = 0;
    for (const char* name : {"audio/music/cottage.ogg", "audio/music/garden.ogg", "audio/music/forest.ogg",
                             "audio/music/clearing.ogg"})
        music = std::max(music, Loudness(name));
    return music;
}

// Voices, music and effects play at the same default level: a line is heard over the music
// when it is clearly louder than the music is; the menu's music is as loud as the music in play.
TEST_F(DemoData, VoicesAreHeardOverTheMusic)
{
    const double music = MusicInPlay();
    ASSERT_GT(music, 0);
    EXPECT_LE(std::abs(20 * std::log10(Loudness("audio/music/mainmenumusic.ogg") / music)), 2.0)
        << "the menu's music against the music in play, in dB";
    for (const char* name : {"audio/vox/mira_opening.ogg", "audio/vox/gardener_greeting.ogg",
                             "audio/vox/clearing_moon_answer.ogg", "audio/vox/cottage_note_think.ogg"}) {
        const double voice = Loudness(name);
        EXPECT_GE(20 * std::log10(voice / music), 3.0) << name << " against the music, in dB";
    }
}

}  // namespace
