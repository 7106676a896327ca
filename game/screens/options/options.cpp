#include "game/screens/options/options.h"

#include "core/prefs/prefs.h"
#include "core/script/message.h"
#include "game/screens/settings/settings.h"
#include "game/script/window_autoreg.h"
#include "game/world/sound/sfx_manager.h"
#include "sound/manager/sound_manager.h"
#include "ui/style/window_style.h"
#include "ui/widgets/button.h"
#include "ui/widgets/slider.h"
#include "ui/window/message_types.h"

#include <algorithm>

const TOptions::tSliderSetting TOptions::kSliders[5] = {
    {"sfxlevelslider", "soundlevel", TSettings::kDefaultLevel},
    {"musiclevelslider", "musiclevel", TSettings::kDefaultLevel},
    {"voxlevelslider", "voxlevel", TSettings::kDefaultLevel},
    {"walkspeedslider", "walkspeed", 0},
    {"talkspeedslider", "talkspeed", 0},
};

namespace {

constexpr int kGroupNone = 0;

// The sound groups each volume slider sets as it moves.
struct tVolumeSlider
{
    const char* slider;
    int groups[2];
    int count;
};
constexpr tVolumeSlider kVolumeSliders[] = {
    {"sfxlevelslider", {kGroupSFX, kGroupNone}, 2},
    {"musiclevelslider", {kGroupMusic, 0}, 1},
    {"voxlevelslider", {kGroupVox, kGroupBGVox}, 2},
};

int SaveVolumesLua(lua_State* L)
{
    static_cast<TOptions*>(tWindowGlobals::Owner(L))->SaveVolumes();
    return 0;
}

TPrefs* Prefs()
{
    const TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetPrefs() : nullptr;
}

int Player(const TPrefs& prefs)
{
    return prefs.GetInt("curuser", -1, -1);
}

// Thousandths, truncated. The margin keeps a stored value that the float slider holds a hair
// below it (0.699 as 0.69899...) from losing a thousandth at every save.
int Thousandths(float value)
{
    return int(double(value) * 1000.0 + 1e-3);
}

}  // namespace

TOptions::TOptions()
{
    mGlobals.Bind("SaveVolumes", &SaveVolumesLua);
}

TWindow* TOptions::DynamicCreate()
{
    return new TOptions;
}

void TOptions::PostChildrenInit(TWindowStyle& style)
{
    const float step = float(style.GetNumber("pagestep", 0));
    mPageStep = step > 0 ? std::min(step, 1.0f) : 0.0f;  // NaN and below 0: no paging
    const TSettings* settings = TSettings::GetInstance();
    TPrefs* prefs = Prefs();
    if (!prefs)
        return;
    const int player = Player(*prefs);
    if (auto* box = GetCast<TButton>(GetChildWindow("fullscreen", unsigned(-1))))
        box->SetOn(settings->IsFullScreen());
    if (auto* box = GetCast<TButton>(GetChildWindow("mutebox", unsigned(-1))))
        box->SetOn(prefs->GetInt("soundoff", 0, player) == 1);
    for (const tSliderSetting& row : kSliders)
        if (auto* slider = GetCast<TSlider>(GetChildWindow(row.slider, unsigned(-1))))
            slider->SetValue(float(prefs->GetInt(row.key, row.stored, player)) / 1000.0f, true);
}

bool TOptions::OnMessage(TMessage* message)
{
    if (!message)
        return false;
    const int type = message->GetType();
    if (type == kSliderPageUp || type == kSliderPageDown)
        return Page(message->GetName(), type == kSliderPageUp ? -mPageStep : mPageStep);
    if (type != kSliderValChanged)
        return false;
    for (const tVolumeSlider& row : kVolumeSliders) {
        if (message->GetName() != row.slider)
            continue;
        const auto* slider = GetCast<TSlider>(GetChildWindow(row.slider, unsigned(-1)));
        if (!slider)
            return false;
        if (TSoundManager* sound = TSoundManager::GetInstance())
            for (int i = 0; i < row.count; ++i)
                sound->SetTypeVolume(row.groups[i], slider->GetValue());
        return true;
    }
    return false;
}

bool TOptions::Page(const str& name, float step)
{
    if (step == 0)
        return false;
    for (const tSliderSetting& row : kSliders) {
        if (name != row.slider)
            continue;
        auto* slider = GetCast<TSlider>(GetChildWindow(row.slider, unsigned(-1)));
        if (!slider)
            return false;
        slider->SetValue(slider->GetValue() + step, false);
        return true;
    }
    return false;
}

void TOptions::SaveVolumes()
{
    TPrefs* prefs = Prefs();
    if (!prefs)
        return;
    const int player = Player(*prefs);
    for (const tSliderSetting& row : kSliders)
        if (const auto* slider = GetCast<TSlider>(GetChildWindow(row.slider, unsigned(-1))))
            prefs->SetInt(row.key, Thousandths(slider->GetValue()), player, true);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TOptions", TOptions::ClassId(), &TOptions::DynamicCreate},
};
