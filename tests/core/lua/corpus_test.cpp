// Script corpus: every script under data/corpus must print the same under vlua as under the
// peer interpreter; scripts under data/golden print what their .out file holds; and a chunk
// dumped and reloaded behaves as the source did.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/missing_peer.h"
#include "lib_runner.h"

namespace fs = std::filesystem;
using tv_lua_test::PeerPath;
using tv_lua_test::RunProgram;
using tv_lua_test::SourceDir;
using tv_lua_test::VluaAvailable;
using tv_lua_test::VluaPath;

namespace {

fs::path DataDir() { return fs::path(SourceDir()) / "tests/core/lua/data"; }

std::vector<std::string> ScriptsIn(const char* sub) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(DataDir() / sub, ec))
    if (e.path().extension() == ".lua") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The two interpreters quote names differently (`x' against 'x') and print addresses.
std::string Normalise(std::string s) {
  s = std::regex_replace(s, std::regex("`([^'\n]*)'"), "'$1'");
  s = std::regex_replace(s, std::regex("0x[0-9a-fA-F]+"), "ADDR");
  return s;
}

std::string ParamName(const testing::TestParamInfo<std::string>& info) {
  std::string n = info.param;
  for (char& c : n)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

class CorpusTest : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!VluaAvailable()) TV_SKIP_WITHOUT_PEER("vlua was not built at " << VluaPath());
  }
  std::string ScriptPath(const char* sub) const {
    return (DataDir() / sub / (GetParam() + ".lua")).string();
  }
};

using CorpusAgreesWithPeer = CorpusTest;
using GoldenOutput = CorpusTest;
using DumpRoundTrip = CorpusTest;

TEST_P(CorpusAgreesWithPeer, SameOutputAndStatus) {
  if (PeerPath().empty()) TV_SKIP_WITHOUT_PEER("lua5.1 is not installed");
  const std::string corpus = (DataDir() / "corpus").string();
  auto mine = RunProgram(VluaPath(), GetParam() + ".lua", "", false, corpus);
  auto peer = RunProgram(PeerPath(), GetParam() + ".lua", "", false, corpus);
  ASSERT_FALSE(peer.out.empty()) << "the script prints nothing under the peer";
  EXPECT_EQ(Normalise(mine.out), Normalise(peer.out));
  EXPECT_EQ(mine.exit_code, peer.exit_code);
}

TEST_P(GoldenOutput, MatchesExpectedFile) {
  fs::path expected = DataDir() / "golden" / (GetParam() + ".out");
  ASSERT_TRUE(fs::exists(expected)) << expected;
  // Golden scripts get two fixed arguments, for the scripts that look at `arg`.
  auto mine = RunProgram(VluaPath(), ScriptPath("golden"), "one 'two words'", true);
  EXPECT_EQ(Normalise(mine.out), Normalise(ReadFile(expected)));
}

TEST_P(DumpRoundTrip, DumpedChunkPrintsTheSame) {
  const std::string corpus = (DataDir() / "corpus").string();
  auto plain = RunProgram(VluaPath(), GetParam() + ".lua", "", false, corpus);
  auto dumped = RunProgram(VluaPath(), "../dump_and_run.lua", "'" + GetParam() + ".lua'", false, corpus);
  EXPECT_EQ(Normalise(dumped.out), Normalise(plain.out));
  EXPECT_EQ(dumped.exit_code, plain.exit_code);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusAgreesWithPeer, testing::ValuesIn(ScriptsIn("corpus")), ParamName);
INSTANTIATE_TEST_SUITE_P(Golden, GoldenOutput, testing::ValuesIn(ScriptsIn("golden")), ParamName);
INSTANTIATE_TEST_SUITE_P(Corpus, DumpRoundTrip, testing::ValuesIn(ScriptsIn("corpus")), ParamName);

TEST(VluaCommand, ReportsErrorsOnStderrWithExitCodeOne) {
  if (!VluaAvailable()) TV_SKIP_WITHOUT_PEER("vlua was not built");
  fs::path dir = fs::temp_directory_path() / ("vlua_err_" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::path script = dir / "bad.lua";
  std::ofstream(script) << "print('before')\nerror('boom')\n";
  auto merged = RunProgram(VluaPath(), script.string(), "", true);
  auto out_only = RunProgram(VluaPath(), script.string(), "", false);
  EXPECT_EQ(merged.exit_code, 1);
  EXPECT_EQ(out_only.out, "before\n");
  EXPECT_NE(merged.out.find("vlua: " + script.string() + ":2: boom"), std::string::npos) << merged.out;
  auto missing = RunProgram(VluaPath(), (dir / "none.lua").string(), "", true);
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.out.rfind("vlua: cannot open", 0), 0u) << missing.out;
  fs::remove_all(dir);
}

}  // namespace
