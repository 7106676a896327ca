#pragma once
// Teaches the asset map (TAssetMap) how to load each kind of asset by file type: textures,
// animated textures, models and compiled scripts. Sounds register with the sound manager.

void InstallAssetLoaders();
