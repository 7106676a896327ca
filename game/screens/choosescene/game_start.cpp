#include "game/screens/choosescene/game_start.h"

#include "core/prefs/prefs.h"
#include "game/script/df_log.h"
#include "game/script/metrics.h"
#include "game/world/scenelist/scene_list.h"
#include "game/world/state/gamestate.h"

int32_t gCurrentScene = 0;

namespace {

tSceneLoader gSceneLoader;

bool LoadScene(const str& name, bool resume)
{
    return gSceneLoader ? gSceneLoader(name, resume) : LoadIntoTheScene(name, resume);
}

// Whether n numbers a scene of the list; logged for the caller when not.
bool InSceneList(int n, const char* caller)
{
    if (n >= 0 && size_t(n) < g_SceneDescs.size())
        return true;
    LOGIT("%s(%d): the scene list holds %d scenes\n", caller, n, int(g_SceneDescs.size()));
    return false;
}

// A new game keeps nothing of the last one: neither its progress nor its time.
void ClearForANewGame()
{
    gGamestate.clear();
    MET_StartGameClocks();
}

}  // namespace

void SetSceneLoader(tSceneLoader loader)
{
    gSceneLoader = std::move(loader);
}

bool LoadSceneNumber(int n)
{
    if (!InSceneList(n, "LoadSceneNumber"))
        return false;
    gCurrentScene = n;
    // A copy: loading may read the scene list again.
    const str name = g_SceneDescs[size_t(n)].name;
    gGamestate.SetScene(name, true);
    return LoadScene(name, false);
}

bool StartAtScene(int n)
{
    if (!InSceneList(n, "StartAtScene"))
        return false;
    ClearForANewGame();
    return LoadSceneNumber(n);
}

bool StartNewGame()
{
    ClearForANewGame();
    if (!LoadSceneNumber(0))
        return false;
    lf_SaveGame();
    return true;
}

bool LoadDefaultGame()
{
    TPrefs* prefs = GetGamePrefs();
    const int profile = prefs ? prefs->GetInt("curuser", -1, -1) : -1;
    // Without a save the game state would name no scene to load.
    if (profile < 0 || !gGamestate.IsSavedGamePresent(*prefs, 0, profile)) {
        LOGIT("LoadDefaultGame: player %d has no saved game\n", profile);
        return false;
    }
    if (!gGamestate.LoadGame(*prefs, 0, profile)) {
        LOGIT("LoadDefaultGame: the saved game of player %d does not read\n", profile);
        return false;
    }
    // Only a scene of the list: any other name would be opened as a path, wherever it leads.
    const str scene = gGamestate.GetCurrentScene();
    if (!FindSceneDesc(scene)) {
        constexpr unsigned kShown = 64;
        LOGIT("LoadDefaultGame: the saved game of player %d is in '%s%s', no scene of the scene list\n", profile,
              scene.substr(0, kShown).c_str(), scene.length() > kShown ? "..." : "");
        return false;
    }
    MET_StartGameClocks();
    return LoadScene(scene, true);
}
