#include "settings_fixture.h"

#include "game/screens/settings/settings_steps.h"
#include "game/startup/game_steps.h"
#include "game/world/state/gamestate.h"

namespace {

using SettingsSteps = SettingsTest;

TEST_F(SettingsSteps, MadeAtStartGoneAtQuitWithNothingLeftPointingAtThem)
{
    InstallSettingsSteps();
    GameSteps().createSettings();
    TSettings* s = TSettings::GetInstance();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(GetGamePrefs(), s->GetPrefs());

    GameSteps().updateFullScreen();  // no platform: windowed
    EXPECT_EQ(s->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
    GameSteps().deleteSettings();
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    EXPECT_EQ(GetGamePrefs(), nullptr);
    GameSteps().updateFullScreen();  // after quit: nothing to tell
    GameSteps() = TGameSteps();
}

TEST_F(SettingsSteps, SettingsMadeAtStartStartTheGameTheProgramGaveThem)
{
    std::string started;
    InstallSettingsSteps([&] { return started += "new;", true; }, [&] { return started += "load;", false; });
    GameSteps().createSettings();
    for (const int mode : {1, 2, 3})  // NEW, LOAD, RESUME
        EXPECT_EQ(SetStartMode(mode), mode == 1) << mode;
    EXPECT_EQ(started, "new;load;load;");
    GameSteps().deleteSettings();
    GameSteps() = TGameSteps();
}

}  // namespace
