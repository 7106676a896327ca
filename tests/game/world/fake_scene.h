#pragma once
// A scene link for the world tests: switchable follow-clicks mode, a string table, and records
// of what the world told the scene.

#include "game/world/common/world_scene.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeScene : public tWorldScene
{
public:
    FakeScene() { SetWorldScene(this); }
    ~FakeScene() override { SetWorldScene(nullptr); }

    bool IsFollowClicksMode() const override { return followClicks; }
    str LocaliseString(const str& text) const override { return str("L:") + text; }
    str GlobalString(const str& key) const override
    {
        auto it = strings.find(key.c_str());
        return it == strings.end() ? str("#####") : str(it->second.c_str());
    }
    void DoInvAdd(const str& key, int bag) override { announced.emplace_back(key.c_str(), bag); }
    void AddCursorDefIfMissing(const str& name, const tCursorDef& def) override { cursors.emplace(name.c_str(), def); }
    bool GetStripCell(const str& strip, int* w, int* h) const override
    {
        if (strip != str(stripName.c_str()))
            return false;
        *w = 40, *h = 30;
        return true;
    }
    void StripToScreen(const str&, int x, int y, float* sx, float* sy) const override
    {
        *sx = float(x + 100), *sy = float(y + 500);
    }

    bool followClicks = true;
    std::string stripName = "BAG_INV_strip";
    std::map<std::string, std::string> strings;
    std::vector<std::pair<std::string, int>> announced;
    std::map<std::string, tCursorDef> cursors;
};
