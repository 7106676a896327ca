#pragma once
// The game's widgets by the type names its layouts use: "TextEdit" and "TCustomTextEdit" make
// the typing field, "RolloverWindow" the hot area, "TScrolledWindow" the scrolled container.

class TWindowManager;

void RegisterGameWidgetTypes(TWindowManager* manager);
