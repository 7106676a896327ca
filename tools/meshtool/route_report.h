#pragma once
// "meshtool path": the route an actor walks between two points of a mesh, as text.

#include <string>

// Loads BASE.dverts and BASE.dmesh; false (the loader's complaint logged) when they do not
// load. Otherwise *text is one "x y" line per point from start to target and "length L", or
// the single line "no route".
bool ReportRoute(const std::string& base, float x1, float y1, float x2, float y2, std::string* text);
