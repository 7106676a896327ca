#include "settings_fixture.h"

#include "common/unprivileged.h"
#include "online/scores/zv_hiscores.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

namespace {

// Every profile name in order, then the current user: "ann,bo|1".
std::string Profiles(const TSettings& s)
{
    std::string out;
    for (int i = 0; i < s.GetNumUsers(); ++i)
        out += (i ? "," : "") + std::string(s.GetUserName(i).c_str());
    return out + "|" + std::to_string(s.GetCurrentUser());
}

using Profiles_ = SettingsTest;

struct Step
{
    const char* script;
    const char* profiles;
};

TEST_F(Profiles_, CreateChooseRenameDeleteThroughTheScripts)
{
    TSettings* s = Make();
    EXPECT_EQ(s->GetCurrentUserName(), str(""));  // no users: user 0 is read
    const Step steps[] = {
        {"CreateNewUser('ann')", "ann|0"},
        {"CreateNewUser('bo')", "ann,bo|1"},
        {"CreateNewUser('cy')", "ann,bo,cy|2"},
        {"SetCurrentUser(0)", "ann,bo,cy|0"},
        {"SetCurrentUser(3)", "ann,bo,cy|0"},   // past the last user
        {"SetCurrentUser(-5)", "ann,bo,cy|0"},  // below "none"
        {"ChangeCurrentUserName('anna')", "anna,bo,cy|0"},
        {"DeleteUser(0)", "bo,cy|1"},  // later ones move down; the new last is chosen
        {"DeleteUser(7)", "bo,cy|1"},
        {"DeleteUser(1)", "bo|0"},
        {"SetCurrentUser(-1)", "bo|-1"},
        {"DeleteUser(0)", "|-1"},  // the only user: none is left current
    };
    for (const Step& step : steps) {
        EXPECT_EQ(Run(step.script), "nil") << step.script;
        EXPECT_EQ(Profiles(*s), step.profiles) << step.script;
    }
    EXPECT_EQ(Run("return GetNumUsers()"), "0");
}

TEST_F(Profiles_, NewProfileCopiesSoundNotSpeeds)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");  // none selected before: the store's defaults
    TPrefs& prefs = *s->GetPrefs();
    EXPECT_EQ(prefs.GetInt("soundlevel", -1, 0), 750);
    EXPECT_EQ(prefs.GetInt("voxlevel", -1, 0), 750);
    EXPECT_EQ(prefs.GetInt("soundoff", -1, 0), 0);
    prefs.SetInt("soundlevel", 100, 0, false);
    prefs.SetInt("musiclevel", 200, 0, false);
    prefs.SetInt("voxlevel", 300, 0, false);
    prefs.SetInt("soundoff", 1, 0, false);
    prefs.SetInt("walkspeed", 1000, 0, false);
    prefs.SetInt("talkspeed", 500, 0, false);
    EXPECT_FLOAT_EQ(s->GetRangedWalkSpeed(), 3.0f);
    EXPECT_FLOAT_EQ(s->GetTalkSpeed(), 0.5f);
    s->CreateNewUser("bo");
    const int copied[] = {prefs.GetInt("soundlevel", -1, 1), prefs.GetInt("musiclevel", -1, 1),
                          prefs.GetInt("voxlevel", -1, 1), prefs.GetInt("soundoff", -1, 1)};
    EXPECT_EQ(std::vector<int>(std::begin(copied), std::end(copied)), (std::vector<int>{100, 200, 300, 1}));
    EXPECT_EQ(prefs.GetInt("walkspeed", -1, 1), -1);
    EXPECT_FLOAT_EQ(s->GetRangedWalkSpeed(), 1.0f);
    EXPECT_FLOAT_EQ(s->GetTalkSpeed(), 0.0f);
}

TEST_F(Profiles_, NamesReachScriptsAsTextAndCompareExactly)
{
    Make();
    const std::string hostile = "]]exit()--[[\" '\\";
    lua_State* L = lua.GetState();
    lua_pushstring(L, hostile.c_str());
    lua_setglobal(L, "hostile");
    EXPECT_EQ(Run("CreateNewUser(hostile); CreateNewUser('Bo')"), "nil");
    EXPECT_EQ(Run("SetCurrentUser(0)"), "nil");
    EXPECT_EQ(std::string(TSettings::GetInstance()->GetCurrentUserName().c_str()), hostile);
    const std::pair<const char*, const char*> cases[] = {
        {"return IsNameInUse(hostile)", "true"},
        {"return IsNameInUse('Bo')", "true"},
        {"return IsNameInUse('bo')", "false"},
        {"return IsNameInUse('')", "false"},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Run(code), expected) << code;
}

// One name per profile in any case: names that differ only in it would read as one player.
TEST_F(Profiles_, NamesAreKeptTrimmedShortAndOnePerProfile)
{
    TSettings* s = Make();
    const struct
    {
        const char* script;
        const char* answer;  // nil when stored, else why not
        const char* profiles;
    } steps[] = {
        {"return CreateNewUser('  Ann  ')", "nil", "Ann|0"},
        {"return CreateNewUser('Ann ')", "entername_taken", "Ann|0"},  // the same name once trimmed
        {"return CreateNewUser('aNN')", "entername_taken", "Ann|0"},
        {"return CreateNewUser(' \\t ')", "entername_blank", "Ann|0"},
        {"return CreateNewUser('ABCDEFGHIJKLMNOPQRSTU')", "nil", "Ann,ABCDEFGHIJKLMNOP|1"},
        {"return CreateNewUser('\\195\\132\\195\\150bcdefghijklmnopq')", "nil",
         "Ann,ABCDEFGHIJKLMNOP,\xC3\x84\xC3\x96"
         "bcdefghijklmno|2"},
        {"return CreateNewUser('\\195\\164\\195\\182BCDEFGHIJKLMNO')", "entername_taken",
         "Ann,ABCDEFGHIJKLMNOP,\xC3\x84\xC3\x96"
         "bcdefghijklmno|2"},
        {"return ChangeCurrentUserName('entername_placeholder')", "nil", "Ann,ABCDEFGHIJKLMNOP,entername_placeh|2"},
        {"return ChangeCurrentUserName(' Ann')", "entername_taken", "Ann,ABCDEFGHIJKLMNOP,entername_placeh|2"},
        {"return ChangeCurrentUserName('abcdefghijklmnop')", "entername_taken",
         "Ann,ABCDEFGHIJKLMNOP,entername_placeh|2"},
        {"return ChangeCurrentUserName('a\\nb ')", "nil", "Ann,ABCDEFGHIJKLMNOP,a b|2"},
        {"SetCurrentUser(0) return ChangeCurrentUserName('ANN ')", "nil", "ANN,ABCDEFGHIJKLMNOP,a b|0"},
        {"return CreateNewUser('\\197\\129ukasz')", "nil", "ANN,ABCDEFGHIJKLMNOP,a b,\xC5\x81ukasz|3"},
        {"return CreateNewUser('\\197\\130UKASZ')", "entername_taken", "ANN,ABCDEFGHIJKLMNOP,a b,\xC5\x81ukasz|3"},
        {"return CreateNewUser('\\208\\175\\208\\189')", "nil",
         "ANN,ABCDEFGHIJKLMNOP,a b,\xC5\x81ukasz,\xD0\xAF\xD0\xBD|4"},
        {"return CreateNewUser('\\209\\143\\208\\157')", "entername_taken",
         "ANN,ABCDEFGHIJKLMNOP,a b,\xC5\x81ukasz,\xD0\xAF\xD0\xBD|4"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(Run(step.script), step.answer) << step.script;
        EXPECT_EQ(Profiles(*s), step.profiles) << step.script;
    }
    EXPECT_EQ(Run("return IsNameInUse(' a b ')"), "true");
    // Two names in one but for case, from a file made before: each player keeps theirs.
    s->GetPrefs()->SetStr("name", "ann", 2, false);
    EXPECT_EQ(Run("SetCurrentUser(2) return ChangeCurrentUserName('ann')"), "nil");
    EXPECT_EQ(Run("return ChangeCurrentUserName('aNN')"), "entername_taken");
    // No player to rename: no name would do.
    EXPECT_EQ(Run("SetCurrentUser(-1) return ChangeCurrentUserName('Zed')"), "");
}

// Names no dialog could have made, from a file made elsewhere: one longer than a name can be
// reads as its first sixteen letters (wherever it shows), the letters of a name
// whole; what the file holds stays as it was.
TEST_F(Profiles_, AStoredNameLongerThanANameReadsAsTheLettersANameHolds)
{
    const std::string umlauts = "\xC3\x84\xC3\x96\xC3\x9C";
    const struct
    {
        std::string stored;
        std::string read;
    } cases[] = {
        {std::string(1000000, 'x'), std::string(16, 'x')},
        {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP"},
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {umlauts + "defghijklmnopqrst", umlauts + "defghijklmnop"},
        {" Ann ", " Ann "},
    };
    {
        TPrefs prefs(true);
        for (const auto& c : cases)
            prefs.SetStr("name", c.stored.c_str(), int(&c - cases), false);
        ASSERT_TRUE(prefs.SavePrefs());
    }
    TSettings* s = Make();
    for (const auto& c : cases) {
        const int user = int(&c - cases);
        s->SetCurrentUser(user);
        EXPECT_EQ(std::string(s->GetUserName(user).c_str()), c.read) << user;
        EXPECT_EQ(std::string(s->GetCurrentUserName().c_str()), c.read) << user;
        EXPECT_EQ(s->GetPrefs()->GetStr("name", "", user).length(), c.stored.size()) << user;
    }
}

TEST_F(Profiles_, AwardsStayWithTheProfileThroughRenameAndRestart)
{
    {
        // Files of an older game: awards kept under the names, one of them of a deleted player.
        TPrefs prefs(true);
        prefs.SetStr("name", "Ann", 0, true);
        prefs.SetStr("name", "Bo", 1, true);
        TZvHiscores scores(true);
        for (const char* name : {"Ann", "Cy"}) {
            scores.SetProperty(TZvHiscores::kPropUserName, name);
            scores.KeepMedal("gate", TZvHiscores::kMedalGame, "");
        }
    }
    // The awards each profile holds, after a restart: "Ann:1,Bo:0".
    auto awards = [this] {
        TSettings* s = Make();
        std::string out;
        for (int i = 0; i < s->GetNumUsers(); ++i) {
            s->SetCurrentUser(i);
            out += (i ? "," : "") + std::string(s->GetUserName(i).c_str()) + ":" + std::to_string(s->NumEarnedMedals());
        }
        return out;
    };
    EXPECT_EQ(awards(), "Ann:1,Bo:0");
    EXPECT_EQ(awards(), "Ann:1,Bo:0");
    TSettings* s = TSettings::GetInstance();
    s->SetCurrentUser(0);
    s->ChangeCurrentUserName("Di");
    s->CreateNewUser("Ann");
    s->CreateNewUser("Cy");
    EXPECT_EQ(awards(), "Di:1,Bo:0,Ann:0,Cy:0");
    s = TSettings::GetInstance();
    s->DeleteUser(0);
    s->CreateNewUser("Di");
    EXPECT_EQ(awards(), "Bo:0,Ann:0,Cy:0,Di:0");
    // With none left, a rename names nobody, the shared table least of all.
    for (int i = 0; i < 4; ++i)
        TSettings::GetInstance()->DeleteUser(0);
    TSettings::GetInstance()->ChangeCurrentUserName("Ann");
    EXPECT_EQ(awards(), "");
    EXPECT_EQ(TSettings::GetInstance()->GetPrefs()->GetStr("name", "", -1), str(""));
}

// Ann and Bo each earned awards and scored; the question before a deletion says their awards go
// with them, and that their rows of the high scores stay.
TEST_F(Profiles_, ADeletedPlayersAwardsGoWithThemAndTheirScoresStay)
{
    TSettings* s = Make();
    for (const char* name : {"Ann", "Bo"}) {
        s->CreateNewUser(name);
        for (const char* medal : {"gate", "lantern"})
            s->GetHiscores()->KeepMedal(medal, TZvHiscores::kMedalGame, "");
        s->GetHiscores()->KeepScore(name[0] == 'A' ? 30 : 20, false, nullptr);
    }
    // What is left after each step, and after a restart: "earned by the current player | rows".
    auto left = [](TSettings& settings) {
        std::string rows;
        TZvHiscores& scores = *settings.GetHiscores();
        for (int i = 0; i < scores.GetScoreCount(true); ++i) {
            char name[32] = "";
            int rank = 0, score = 0;
            bool anonymous = false;
            scores.GetScore(true, i, &rank, name, sizeof name, &anonymous, &score, nullptr, 0);
            rows += std::string(rows.empty() ? "" : ",") + name + ":" + std::to_string(rank);
        }
        return std::to_string(settings.NumEarnedMedals()) + "|" + rows;
    };
    EXPECT_EQ(left(*s), "2|Ann:1,Bo:2");
    const struct
    {
        int deleted;
        const char* left;
    } steps[] = {{0, "2|Ann:1,Bo:2"}, {0, "0|Ann:1,Bo:2"}};
    for (const auto& step : steps) {
        s->DeleteUser(step.deleted);
        EXPECT_EQ(left(*s), step.left);
        TSettings::DeleteSettings();
        s = Make();
        EXPECT_EQ(left(*s), step.left) << "after a restart";
    }
    // A new player of a deleted one's name starts with no awards.
    s->CreateNewUser("Ann");
    EXPECT_EQ(left(*s), "0|Ann:1,Bo:2");
}

TEST_F(Profiles_, SavedAndReadBack)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");
    s->CreateNewUser("bo");
    s->SetCurrentUser(0);
    TSettings::DeleteSettings();

    const std::string dump = Dump();
    const char* expected[] = {
        "2 users",
        "  slot 0 (installation)\n    curuser = 0\n",
        "  slot 1 (user 0)\n    awardkey = profile-",
        "\n    musiclevel = 750\n    name = ann\n    soundlevel = 750\n    soundoff = 0\n    voxlevel = 750\n",
        "  slot 2 (user 1)\n    awardkey = profile-",
        "\n    musiclevel = 750\n    name = bo\n",
    };
    for (const char* part : expected)
        EXPECT_NE(dump.find(part), std::string::npos) << part << "\nin\n" << dump;

    s = Make();
    EXPECT_EQ(Profiles(*s), "ann,bo|0");
}

// Junk after the last chunk: the contents before the last save are whole and taken, or, when
// they are damaged too, what was read before the junk.
TEST_F(Profiles_, DamagedFileKeepsEveryProfileAndThePlayerIsTold)
{
    const struct
    {
        bool previousDamaged;
        const char* profiles;
        const char* notice;
    } cases[] = {
        {false, "ann,bo|0", "prefs_restored_title"},
        {true, "ann,bo|1", "prefs_damaged_title"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice);
        for (const auto& entry : std::filesystem::directory_iterator(Path("")))
            std::filesystem::remove_all(entry.path());
        TSettings* s = Make();
        s->CreateNewUser("ann");
        s->CreateNewUser("bo");
        EXPECT_TRUE(s->GetNotices().Pending().empty());
        TSettings::DeleteSettings();
        std::vector<char> bytes = Prefs();
        const char junk[] = "KVPR\xff\xff\xff\x7f garbage";
        bytes.insert(bytes.end(), junk, junk + sizeof junk - 1);
        WritePrefs(bytes);
        if (c.previousDamaged)
            WriteRaw("prefs.dat.prev", std::string("junk"));

        s = Make();
        EXPECT_EQ(Profiles(*s), c.profiles);
        ASSERT_EQ(s->GetNotices().Pending().size(), 1u);
        EXPECT_EQ(s->GetNotices().Pending()[0].title, str(c.notice));
        EXPECT_EQ(ReadRaw("prefs.dat.bad"), bytes);  // the damaged file is kept for a look
        s->CreateNewUser("cy");
        TSettings::DeleteSettings();
        s = Make();
        EXPECT_EQ(Profiles(*s), "ann,bo,cy|2");
        EXPECT_TRUE(s->GetNotices().Pending().empty());
        TSettings::DeleteSettings();
    }
}

TEST_F(Profiles_, ReadOnlyFolderLosesNoProfile)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");
    TSettings::DeleteSettings();
    const std::vector<char> saved = Prefs();
    RunUnprivileged(Path(""), [&] {
        chmod(Path("").c_str(), 0500);
        chmod(Path("prefs.dat").c_str(), 0400);
        TSettings* ro = Make();
        ro->CreateNewUser("bo");
        ro->DeleteUser(0);
        EXPECT_EQ(Profiles(*ro), "bo|0");  // kept while the game runs
        TSettings::DeleteSettings();
        EXPECT_EQ(Prefs(), saved);
        chmod(Path("").c_str(), 0700);
    });
    s = Make();
    EXPECT_EQ(Profiles(*s), "ann|0");
}

}  // namespace
