#pragma once
// The screen that lists every scene of the scene list and jumps into the chosen one. It hands
// the layout the titles through its function UpdateSceneList(current, count, titles); the
// layout makes one radio button "button<i>" per scene.
//   function UpdateSceneList(current, count, titles) ... end
//   TChooseScene{ name = "choosescene", ... }   -- then JumpToScene(GetCurrentSelectedScene())

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TWindowManager;

class TChooseScene : public TWindow
{
    TV_CLASS(TChooseScene, TWindow)

public:
    // Binds "GetCurrentSelectedScene", "SetCurrentScene", "JumpToScene" and "StartAtScene".
    TChooseScene();
    static TWindow* DynamicCreate();

    // Calls the layout's UpdateSceneList with the current scene, the number of scenes and
    // every title, each as a string value.
    void SetSceneList();
    // The first scene button that is on; 0 when none is.
    int GetCurrentSelectedScene();
    void PostChildrenInit(TWindowStyle& style) override;

private:
    tWindowGlobals mGlobals{this};
};
