#pragma once
// The options screen: volume sliders for effects, music and voice, the walking and talking
// speed sliders, a full-screen box and a mute box, filled from the current player's settings
// when the screen opens. The volume sliders act on the sound groups while they move; every
// slider is stored (in thousandths) only when the layout calls SaveVolumes(). The two boxes
// act through the settings' ToggleFullScreen() and ToggleSoundMute(). A click on a slider's
// rail moves it by the layout's "pagestep" towards the click (none without the key).
//   TOptions{ name = "options", pagestep = 0.1, Slider{ name = "musiclevelslider", ... },
//             Button{ name = "ok", command = function() SaveVolumes() end } }

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TWindowManager;

class TOptions : public TWindow
{
    TV_CLASS(TOptions, TWindow)

public:
    struct tSliderSetting
    {
        const char* slider;
        const char* key;
        int stored;  // the default
    };
    static const tSliderSetting kSliders[5];

    // Binds "SaveVolumes".
    TOptions();
    static TWindow* DynamicCreate();

    // Fills the controls; the layout gives this window its place and size itself.
    void PostChildrenInit(TWindowStyle& style) override;
    // Slider moves of the three volume sliders; page clicks on any slider of the table.
    bool OnMessage(TMessage* message) override;
    // Every slider's value, for the current player.
    void SaveVolumes();

private:
    // Steps the named slider of the table; false for any other window.
    bool Page(const str& name, float step);

    tWindowGlobals mGlobals{this};
    float mPageStep = 0;
};
