#pragma once
// The diary screens' window classes by the type names their layouts use: "tWindowItemList",
// "tWindowItemEntry", "tDiaryWindow" and "tDiaryText".

class TWindowManager;

void RegisterDiaryWindowTypes(TWindowManager* manager);
