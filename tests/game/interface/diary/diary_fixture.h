#pragma once
// The demo's diary screens on the window tests' recording renderer: the assembled data folder
// (fonts and pictures), the demo's string table as the game's, the game state's books and
// quests in the window script's state with the demo's progress tables, and a scene link that
// answers string lookups and localises from that table.

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "core/strings/string_table.h"
#include "game/interface/layout_fixture.h"
#include "game/script/window_autoreg.h"
#include "game/world/common/world_scene.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/gamestate_lua.h"
#include "game/world/strings/localised_strings.h"
#include "render/text/text_graphic.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"

class TTableScene : public tWorldScene
{
public:
    bool IsFollowClicksMode() const override { return false; }
    // As a scene localises: the table's text, or the key itself when the table has none.
    str LocaliseString(const str& text) const override
    {
        const str found = GlocalisedString(text);
        return IsMissingString(found) ? text : found;
    }
    str GlobalString(const str& key) const override { return GlocalisedString(key); }
    void DoInvAdd(const str&, int) override {}
    void AddCursorDefIfMissing(const str&, const tCursorDef&) override {}
    bool GetStripCell(const str&, int*, int*) const override { return false; }
    void StripToScreen(const str&, int, int, float*, float*) const override {}
};

class DiaryTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        UseAssembledData(TV_ASSETS_RESOURCE_DIR, strings);
        SetWorldScene(&scene);
        AddAutoRegWindowTypes(wm.get());
        gGamestate.clear();
        AddInstanceToLua(gGamestate, script->GetState());
        Lua("ReadFile('quest/progress.lua')");
    }
    void TearDown() override
    {
        gGamestate.clear();
        SetWorldScene(nullptr);
        SetWidgetStringTable(nullptr);
        SetGlobalStringTable(nullptr);
        GameLayoutTest::TearDown();
    }

    // The demo's diary entry of that name, written as a scene script writes it.
    void Write(const std::string& name)
    {
        Lua("local d = diary." + name + "; _G[d.book]:AddDiaryEntry(d.key, d.title, d.base)");
    }
    // Merges rows into the string table; texts are written as the sheet holds them (escaped XML).
    void AddTableTexts(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        std::string sheet = "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>";
        for (const auto& [label, text] : rows)
            sheet += "<Row><Cell><Data>" + label + "</Data></Cell><Cell><Data>" + text + "</Data></Cell></Row>";
        sheet += "</Table></Worksheet></Workbook>\n";
        ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    }
    void OpenScreen(const std::string& file)
    {
        Lua("PushModal('" + file + "'); ReadFile('" + file + "'); DoFitToChildren()");
    }
    // Screen point in the middle of the link `id` of the named text window.
    TPoint LinkPoint(const char* name, const char* id)
    {
        TText* text = GetCast<TText>(Find(name));
        EXPECT_TRUE(text && text->GetGraphic()) << name;
        if (!text || !text->GetGraphic())
            return TPoint();
        int y = 0;
        for (const auto& line : text->GetGraphic()->GetLines()) {
            for (const TTextRun& run : line->runs)
                if (run.linkId == id && run.right > run.left) {  // a tag's empty run is no place to click
                    TPoint p(line->x + (run.left + run.right) / 2, y + line->height / 2);
                    text->ClientToScreen(&p);
                    return p;
                }
            y += line->height;
        }
        ADD_FAILURE() << "no link " << id << " in " << name;
        return TPoint();
    }
    void Click(const TPoint& p)
    {
        Send(TEvent::kMouseDown, p.x, p.y);
        Send(TEvent::kMouseUp, p.x, p.y);
    }

    TStringTable strings;
    TTableScene scene;
};
