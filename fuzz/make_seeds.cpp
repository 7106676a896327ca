// Writes the seed files no content tool makes, through the engine's own writers where it has
// them: a preferences file, a score file (as stored and as its plain text), score server
// replies and a small ".mesh" model.
//   make_seeds SEEDS_DIR        one folder per fuzz target under SEEDS_DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/prefs/prefs.h"
#include "fuzz_user_folder.h"
#include "online/scores/zv_hiscores.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put16(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// A tetrahedron: four vertices (position, normal, uv in thousandths), four triangles.
std::string Tetrahedron()
{
    std::string out = "TRIS";
    Put16(out, 4);
    Put16(out, 4);
    const int vertices[4][8] = {{0, 0, 0, 0, 0, -1000, 0, 0},
                                {1000, 0, 0, 1000, 0, 0, 1000, 0},
                                {0, 1000, 0, 0, 1000, 0, 0, 1000},
                                {0, 0, 1000, 577, 577, 577, 500, 500}};
    for (const auto& v : vertices)
        for (int value : v)
            Put16(out, value);
    for (int index : {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3})
        Put16(out, index);
    return out;
}

void PrefsSeed(const fs::path& seeds)
{
    TPrefs prefs(true);
    prefs.SetStr("language", "en", -1, false);
    prefs.SetInt("volume", 80, -1, false);
    prefs.SetStr("name", "Ada", 0, false);
    prefs.SetInt("level", 3, 0, false);
    prefs.SetStr("name", "Bo", 1, false);
    prefs.SavePrefs();
    Write(seeds / "fuzz_prefs" / "prefs.dat", Read(FuzzUserFolder() + "/prefs.dat"));
}

void ScoreSeeds(const fs::path& seeds)
{
    {
        TZvHiscores scores(true);
        scores.SetProperty(TZvHiscores::kPropUserName, "Ada");
        scores.SetProperty(TZvHiscores::kPropGameMode, "normal");
        scores.KeepScore(1200, false, "level 3");
        scores.KeepScore(800, true, nullptr);
        scores.KeepMedal("first steps", TZvHiscores::kMedalGame, "day 1");
        scores.KeepMedal("fast", TZvHiscores::kMedalGameMode, "");
        scores.SavePreferences();
    }
    const std::string file = Read(FuzzUserFolder() + "/hiscore.dat");
    // The fuzz target takes an odd first byte as "raw file follows", an even one as "plain text".
    Write(seeds / "fuzz_score_file" / "stored", std::string(1, '\x01') + file);
    std::vector<unsigned char> plain = UserCipher(false, file.data(), file.size() - 8);
    if (!plain.empty() && plain.back() == 0)
        plain.pop_back();
    Write(seeds / "fuzz_score_file" / "plain", std::string(1, '\0') + std::string(plain.begin(), plain.end()));
}

void ReplySeeds(const fs::path& seeds)
{
    const fs::path dir = seeds / "fuzz_score_reply";
    Write(dir / "categories", "<hiscore><tables><table table=\"t1\" name=\"Daily\"/>"
                              "<table table=\"t2\" name=\"All time\"/></tables></hiscore>");
    Write(dir / "scores", "<hiscore><scores><score name=\"zed\" data=\"d1\" ver=\"1.0\" guid=\"g1\" "
                          "anonymous=\"false\" score=\"900\" rank=\"1\"/><score name=\"annie\" data=\"d2\" "
                          "guid=\"g2\" anonymous=\"true\" score=\"800\" rank=\"2\" account=\"true\"/>"
                          "</scores></hiscore>");
    Write(dir / "message", "<hiscore><message>Closed for <b>maintenance</b></message></hiscore>");
    Write(dir / "error", "<hiscore><protocolError>Missing required parameter: type</protocolError></hiscore>");
}

// Elements nested far deeper than any reader follows, for every reader of XML.
void DeepSeeds(const fs::path& seeds)
{
    std::string deep;
    for (int i = 0; i < 150000; ++i)
        deep += "<a>";
    Write(seeds / "fuzz_xml" / "deep.xml", deep);
    Write(seeds / "fuzz_score_reply" / "deep", "<hiscore>" + deep);
    Write(seeds / "fuzz_score_file" / "deep", std::string(1, '\0') + "<score>" + deep);
    Write(seeds / "fuzz_prefs" / "deep", "<>" + deep);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds SEEDS_DIR\n");
        return 2;
    }
    const fs::path seeds = argv[1];
    PrefsSeed(seeds);
    ScoreSeeds(seeds);
    ReplySeeds(seeds);
    DeepSeeds(seeds);
    Write(seeds / "fuzz_model" / "tetrahedron.mesh", Tetrahedron());
    return 0;
}
