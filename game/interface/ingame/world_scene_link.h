#pragma once
// What the game's progress objects ask of the active scene and the game window (the link of
// game/world/common/world_scene.h), answered by the scene, the game root's strips and the
// cursor manager.

// Installs the link; the game does this at start.
void InstallWorldSceneLink();
