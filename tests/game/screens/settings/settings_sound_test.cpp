#include "settings_fixture.h"

#include <vector>

namespace {

using SettingsSound = SettingsTest;

// The volumes of the groups 0, 1000, 1001, 1002, 1003 and the master, in thousandths.
std::vector<int> Volumes(TSoundManager& sound)
{
    std::vector<int> out;
    for (int group : {0, 1000, 1001, 1002, 1003, -1})
        out.push_back(int(sound.GetVolume(group) * 1000.0f + 0.5f));
    return out;
}

TEST_F(SettingsSound, TheCurrentProfilesLevelsReachTheGroups)
{
    TSettings* s = Make();
    s->CreateNewUser("loud");
    s->CreateNewUser("quiet");
    TPrefs& prefs = *s->GetPrefs();
    const int levels[][4] = {{1000, 900, 800, 0}, {100, 200, 300, 1}};  // sound, music, vox, off
    for (int user = 0; user < 2; ++user) {
        prefs.SetInt("soundlevel", levels[user][0], user, false);
        prefs.SetInt("musiclevel", levels[user][1], user, false);
        prefs.SetInt("voxlevel", levels[user][2], user, false);
        prefs.SetInt("soundoff", levels[user][3], user, false);
    }
    struct Case
    {
        int user;
        std::vector<int> volumes;
    };
    // User 1 is muted: the master silences every group.
    const Case cases[] = {{0, {1000, 1000, 900, 800, 800, 1000}}, {1, {0, 0, 0, 0, 0, 0}}};
    for (const Case& c : cases) {
        s->SetCurrentUser(c.user);
        EXPECT_EQ(Volumes(*sound), c.volumes) << c.user;
    }
    sound->SetVolume(1.0f);
    EXPECT_EQ(Volumes(*sound), (std::vector<int>{100, 100, 200, 300, 300, 1000}));
}

TEST_F(SettingsSound, MuteTogglesBackAndSilencesTheMaster)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");
    const int expected[][2] = {{1, 0}, {0, 1000}, {1, 0}};  // "soundoff", master
    for (const auto& e : expected) {
        EXPECT_EQ(Run("ToggleSoundMute()"), "nil");
        EXPECT_EQ(s->GetPrefs()->GetInt("soundoff", -1, 0), e[0]);
        EXPECT_EQ(int(sound->GetVolume(-1) * 1000.0f + 0.5f), e[1]);
        EXPECT_EQ(TGameState::GetInstance()->QueryMuteGame(), e[0] == 1);
    }
}

TEST_F(SettingsSound, ScaledGroupsRememberTheirFactor)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");
    s->GetPrefs()->SetInt("musiclevel", 800, 0, false);
    s->GetPrefs()->SetInt("voxlevel", 400, 0, false);
    auto level = [this](int group) { return int(sound->GetVolume(group) * 1000.0f + 0.5f); };
    struct Step
    {
        void (*adjust)(float);
        float factor;
        int group;
        int expected;
    };
    // A marker volume shows whether a call set the group.
    const Step steps[] = {
        {AdjustMusicVolume, 0.5f, 1001, 400},  {AdjustMusicVolume, 0.5f, 1001, 123},  // same factor: untouched
        {AdjustMusicVolume, 0.25f, 1001, 200}, {AdjustBGVoxVolume, 0.5f, 1003, 200},
        {AdjustBGVoxVolume, 0.5f, 1003, 123},  {AdjustBGVoxVolume, -1.0f, 1003, 200},  // re-applied
        {AdjustBGVoxVolume, 1.0f, 1003, 400},
    };
    for (const Step& step : steps) {
        sound->SetTypeVolume(step.group, 0.123f);
        step.adjust(step.factor);
        EXPECT_EQ(level(step.group), step.expected) << step.group << " " << step.factor;
    }
    TSettings::DeleteSettings();
    sound->SetTypeVolume(1003, 0.123f);
    AdjustBGVoxVolume(0.75f);  // no settings: nothing to read levels from
    EXPECT_EQ(level(1003), 123);
}

TEST_F(SettingsSound, DisplayModeFollowsTheStoredChoice)
{
    struct Case
    {
        int stored;  // -1: none stored
        const char* display;
    };
    const Case cases[] = {{-1, "800x600 full"}, {0, "800x600 window"}, {1, "800x600 full"}};
    for (const Case& c : cases) {
        TSettings* s = Make();
        if (c.stored >= 0)  // the first case runs on a fresh folder
            s->GetPrefs()->SetInt("fullscreen", c.stored, -1, true);
        TSettings::DeleteSettings();
        Make()->InitGameToSettings();
        EXPECT_EQ(display, c.display) << c.stored;
    }

    TSettings* s = TSettings::GetInstance();
    fullscreen = true;
    EXPECT_EQ(Run("return ToggleFullScreen()"), "true");
    EXPECT_EQ(s->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
    switchFails = true;
    EXPECT_EQ(Run("return ToggleFullScreen()"), "false");
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(s->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
    fullscreen = true;  // switched by the player's window manager
    s->UpdateFullScreen();
    EXPECT_EQ(s->GetPrefs()->GetInt("fullscreen", -1, -1), 1);
}

}  // namespace
