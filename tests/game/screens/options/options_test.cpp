// The options: made from the demo layout and filled from the current player's settings, the
// volume sliders acting on their sound groups as they move, every slider stored for the player
// only when asked, in thousandths that survive being shown and stored again.

#include <string>

#include "core/script/message.h"
#include "game/screens/menu_fixture.h"
#include "game/screens/options/options.h"
#include "game/script/window_autoreg.h"
#include "ui/screen/image.h"
#include "ui/style/window_style.h"
#include "ui/widgets/button.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

class OptionsTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        settings->CreateNewUser("Ann");
        settings->CreateNewUser("Bo");  // current
    }
    TOptions* Page()
    {
        ReadLayout("layouts/options.lua");
        return GetCast<TOptions>(Find("options"));
    }
    TSlider* Slider(const char* name) { return GetCast<TSlider>(Find(name)); }
    int Stored(const char* key, int user = 1) { return settings->GetPrefs()->GetInt(key, -1, user); }
};

TEST_F(OptionsTest, ControlsShowThePlayersSettings)
{
    // Nothing stored for speeds yet; the volumes were copied when the profile was made.
    ASSERT_NE(Page(), nullptr);
    for (const char* name : {"sfxlevelslider", "musiclevelslider", "voxlevelslider"})
        EXPECT_FLOAT_EQ(Slider(name)->GetValue(), 0.75f) << name;
    for (const char* name : {"walkspeedslider", "talkspeedslider"})
        EXPECT_FLOAT_EQ(Slider(name)->GetValue(), 0.0f) << name;
    EXPECT_FALSE(GetCast<TButton>(Find("fullscreen"))->IsOn());
    EXPECT_FALSE(GetCast<TButton>(Find("mutebox"))->IsOn());
    // The voice slider says it covers background voices too; a speed at 0 is the normal pace.
    for (const char* note : {"voxlevelnote", "walkspeedsliderslow", "talkspeedsliderslow"})
        EXPECT_NE(Find(note), nullptr) << note;
    CloseTop();

    TPrefs& prefs = *settings->GetPrefs();
    prefs.SetInt("talkspeed", 1000, 1, false);
    prefs.SetInt("voxlevel", 10, 0, false);  // another player's
    prefs.SetInt("soundoff", 1, 1, false);
    fullscreen = true;
    ASSERT_NE(Page(), nullptr);
    EXPECT_FLOAT_EQ(Slider("talkspeedslider")->GetValue(), 1.0f);
    EXPECT_FLOAT_EQ(Slider("voxlevelslider")->GetValue(), 0.75f);
    EXPECT_TRUE(GetCast<TButton>(Find("fullscreen"))->IsOn());
    EXPECT_TRUE(GetCast<TButton>(Find("mutebox"))->IsOn());
}

TEST_F(OptionsTest, VolumeSlidersSetTheirGroupsAsTheyMove)
{
    ASSERT_NE(Page(), nullptr);
    struct Case
    {
        const char* slider;
        float value;
        float effects, none, music, voice, background;  // the groups' volumes afterwards
    };
    const Case cases[] = {
        {"sfxlevelslider", 0.5f, 0.5f, 0.5f, 0.75f, 0.75f, 0.75f},
        {"musiclevelslider", 0.25f, 0.5f, 0.5f, 0.25f, 0.75f, 0.75f},
        {"voxlevelslider", 0.125f, 0.5f, 0.5f, 0.25f, 0.125f, 0.125f},
        {"walkspeedslider", 0.9f, 0.5f, 0.5f, 0.25f, 0.125f, 0.125f},
        {"talkspeedslider", 0.9f, 0.5f, 0.5f, 0.25f, 0.125f, 0.125f},
    };
    for (const Case& c : cases) {
        Slider(c.slider)->SetValue(c.value, false);
        EXPECT_FLOAT_EQ(sound->GetVolume(1000), c.effects) << c.slider;
        EXPECT_FLOAT_EQ(sound->GetVolume(0), c.none) << c.slider;
        EXPECT_FLOAT_EQ(sound->GetVolume(1001), c.music) << c.slider;
        EXPECT_FLOAT_EQ(sound->GetVolume(1002), c.voice) << c.slider;
        EXPECT_FLOAT_EQ(sound->GetVolume(1003), c.background) << c.slider;
    }
    // The volume sliders' messages stop at the page; others go on.
    TMessage volume(kSliderValChanged, "musiclevelslider", nullptr);
    TMessage speed(kSliderValChanged, "walkspeedslider", nullptr);
    TMessage press(kButtonPress, "musiclevelslider", nullptr);
    EXPECT_TRUE(Find("options")->OnMessage(&volume));
    EXPECT_FALSE(Find("options")->OnMessage(&speed));
    EXPECT_FALSE(Find("options")->OnMessage(&press));
    // Nothing is stored until the page says so.
    EXPECT_EQ(Stored("musiclevel"), 750);
    EXPECT_EQ(Stored("walkspeed"), -1);
}

TEST_F(OptionsTest, RailClicksStepTheSliderTowardsTheClick)
{
    ASSERT_NE(Page(), nullptr);
    TSlider* music = Slider("musiclevelslider");
    music->GetThumb()->SetWindowSize(20, 20);  // the pictures' size, which the tests do not load
    music->UpdateSliderPos();
    const int right = music->GetWindowWidth() - 1;  // the rail's last pixel
    const auto click = [this](TSlider* slider, int x) {
        TPoint rail(x, slider->GetWindowHeight() / 2);
        slider->ClientToScreen(&rail);
        Send(TEvent::kMouseMove, rail.x, rail.y);
        Send(TEvent::kMouseDown, rail.x, rail.y);
        Send(TEvent::kMouseUp, rail.x, rail.y);
    };
    struct Case
    {
        int x;
        float value;  // the slider and the music afterwards
    };
    // From 0.75: right of the thumb up by a tenth, to the end, where the thumb covers the last
    // pixel; left of it down again.
    const Case cases[] = {{right, 0.85f}, {right, 0.95f}, {right, 1.0f}, {right, 1.0f}, {0, 0.9f}, {2, 0.8f}};
    for (const Case& c : cases) {
        click(music, c.x);
        EXPECT_NEAR(music->GetValue(), c.value, 1e-4) << c.x;
        EXPECT_NEAR(sound->GetVolume(1001), c.value, 1e-4) << c.x;
    }
    // A speed slider steps too, and only the stored value tells the game.
    TSlider* walk = Slider("walkspeedslider");
    click(walk, right);
    EXPECT_NEAR(walk->GetValue(), 0.1f, 1e-4);
    EXPECT_EQ(Stored("walkspeed"), -1);
}

TEST_F(OptionsTest, SaveVolumesStoresEverySliderForTheCurrentPlayerInThousandths)
{
    ASSERT_NE(Page(), nullptr);
    Slider("sfxlevelslider")->SetValue(0.4567f, true);
    Slider("musiclevelslider")->SetValue(0.0f, true);
    Slider("voxlevelslider")->SetValue(1.0f, true);
    Slider("walkspeedslider")->SetValue(0.5f, true);
    Slider("talkspeedslider")->SetValue(0.999f, true);
    EXPECT_EQ(Run("SaveVolumes()"), "nil");
    const std::pair<const char*, int> stored[] = {
        {"soundlevel", 456}, {"musiclevel", 0}, {"voxlevel", 1000}, {"walkspeed", 500}, {"talkspeed", 999},
    };
    for (const auto& [key, value] : stored) {
        EXPECT_EQ(Stored(key), value) << key;
        EXPECT_EQ(Stored(key, 0), key[1] == 'a' ? -1 : 750) << key;  // the other player keeps hers
    }

    // Stored values survive being shown and stored again, also those that a slider holds a
    // hair below the stored thousandth.
    TPrefs& prefs = *settings->GetPrefs();
    TOptions* page = GetCast<TOptions>(Find("options"));
    TWindowStyle style(nullptr);
    for (const int stored : {0, 5, 9, 251, 253, 456, 502, 506, 511, 699, 750, 999, 1000}) {
        prefs.SetInt("soundlevel", stored, 1, false);
        page->PostChildrenInit(style);
        page->SaveVolumes();
        ASSERT_EQ(Stored("soundlevel"), stored);
    }
}

TEST_F(OptionsTest, TheBoxesActThroughTheSettings)
{
    StartInterface();
    ASSERT_NE(Page(), nullptr);
    auto* box = GetCast<TButton>(Find("fullscreen"));
    TModalWindow* page = wm->GetTopModalWindow();
    // Refused: the box shows the window as it stayed; a refused full screen is told once.
    refuseFullscreen = true;
    box->DoPress();
    EXPECT_FALSE(box->IsOn());
    EXPECT_FALSE(fullscreen);
    TModalWindow* notice = wm->GetTopModalWindow();
    ASSERT_NE(notice, page);
    ASSERT_EQ(notice->GetParent(), page) << "one notice, not two";
    auto* body = GetCast<TText>(notice->GetChildWindow("body", unsigned(-1)));
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(body->GetText().c_str()), "options_fullscreen_refused");
    CloseTop();
    wm->DispatchMessages();
    EXPECT_FALSE(box->IsOn());
    fullscreen = true;  // leaving full screen refused: nothing to explain
    box->SetOn(true);
    box->DoPress();
    EXPECT_TRUE(box->IsOn());
    EXPECT_EQ(wm->GetTopModalWindow(), page);
    fullscreen = false;
    box->SetOn(false);
    refuseFullscreen = false;
    box->DoPress();
    EXPECT_TRUE(box->IsOn());
    EXPECT_TRUE(fullscreen);
    EXPECT_EQ(settings->GetPrefs()->GetInt("fullscreen", -1, -1), 1);
    GetCast<TButton>(Find("mutebox"))->DoPress();
    EXPECT_EQ(Stored("soundoff"), 1);
    EXPECT_TRUE(GetCast<TButton>(Find("mutebox"))->IsOn());
    // Done stores the sliders and closes the page.
    Slider("walkspeedslider")->SetValue(0.25f, true);
    GetCast<TButton>(Find("options_done"))->DoPress();
    EXPECT_EQ(Stored("walkspeed"), 250);
    CloseTop();
    EXPECT_EQ(Run("return type(SaveVolumes)"), "nil");
}

// A script's own switch that is refused only answers false: the settings could show a window
// but leave the explaining to whoever asked (the options page above), whichever way it went.
TEST_F(OptionsTest, ARefusedSwitchFromAScriptShowsNothing)
{
    StartInterface();
    ASSERT_NE(Page(), nullptr);
    TModalWindow* page = wm->GetTopModalWindow();
    refuseFullscreen = true;
    for (const bool was : {false, true}) {
        fullscreen = was;
        EXPECT_EQ(Run("return ToggleFullScreen()"), "false") << was;
        wm->DispatchMessages();
        EXPECT_EQ(fullscreen, was);
        EXPECT_EQ(wm->GetTopModalWindow(), page) << was;
    }
}

}  // namespace
