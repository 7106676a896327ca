#pragma once
// The sprite windows by the type names layouts use: "tMenuSprite", "tAtlasImage".

class TWindowManager;

void RegisterSpriteWindowTypes(TWindowManager* manager);
