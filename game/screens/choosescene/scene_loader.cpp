// Apart from the game state's code: the scene's and the game state's headers each declare the
// bag and book numbers.

#include "game/screens/choosescene/game_start.h"
#include "game/script/df_log.h"
#include "game/world/scene/scene.h"

bool LoadIntoTheScene(const str& name, bool resume)
{
    tScene* scene = TheScene();
    if (!scene) {
        LOGIT("No scene object to load %s into\n", name.c_str());
        return false;
    }
    return scene->LoadSceneByName(name, resume);
}
