#include "game/interface/ingame/world_scene_link.h"

#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/inventory/strip_link.h"
#include "game/world/common/world_scene.h"
#include "game/world/scene/scene.h"
#include "game/world/strings/localised_strings.h"

namespace {

class tGameWorldScene : public tWorldScene
{
public:
    bool IsFollowClicksMode() const override
    {
        tScene* scene = ActiveScene();
        return scene && scene->InFollowClicksMode();
    }
    str LocaliseString(const str& text) const override
    {
        tScene* scene = ActiveScene();
        return scene ? scene->localisestring(text) : text;
    }
    str GlobalString(const str& key) const override { return GlocalisedString(key); }
    bool HasGlobalString(const str& key) const override { return HasGlocalisedString(key); }
    void DoInvAdd(const str& key, int bag) override
    {
        if (g_pGame)
            StartInvAdd(g_pGame, key, bag);
    }
    void AddCursorDefIfMissing(const str& name, const tCursorDef& def) override
    {
        CursorManager().AddCursorDefIfMissing(name, def);
    }
    bool GetStripCell(const str& strip, int* width, int* height) const override
    {
        return ::GetStripCell(g_pGame, strip, width, height);
    }
    void StripToScreen(const str& strip, int x, int y, float* sx, float* sy) const override
    {
        ::StripToScreen(g_pGame, strip, x, y, sx, sy);
    }
};

}  // namespace

void InstallWorldSceneLink()
{
    static tGameWorldScene link;
    SetWorldScene(&link);
}
