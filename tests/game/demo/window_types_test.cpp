// The game's window classes register themselves by the type names layouts use: the program
// needs no list of them.

#include "game/script/window_autoreg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(WindowTypes, EveryGameClassRegistersItself)
{
    const struct
    {
        const char* name;
        const char* made;  // the class of the window made under the name
    } types[] = {
        {"dfWindow", "dfWindow"},
        {"dfModalWindow", "dfModalWindow"},
        {"dfText", "dfText"},
        {"Text", "OutlineText"},
        {"dfTextX", "dfTextX"},
        {"tDFButton", "tDFButton"},
        {"TGame", "TGame"},
        {"TMainMenu", "TMainMenu"},
        {"TChoosePlayer", "TChoosePlayer"},
        {"TChooseScene", "TChooseScene"},
        {"TOptions", "TOptions"},
        {"THiscore", "THiscore"},
        {"TCredits", "TCredits"},
        {"tAwardsWindow", "tAwardsWindow"},
        {"tWindowItemList", "tWindowItemList"},
        {"tWindowItemEntry", "tWindowItemEntry"},
        {"TCustomTextEdit", "TCustomTextEdit"},
        {"tSubGame", "tSubGame"},
        {"tDiaryWindow", "tDiaryWindow"},
        {"TScrolledWindow", "TScrolledWindow"},
        {"tIconStrip", "tIconStrip"},
        {"tIcon", "tIcon"},
        {"tMenuParty", "tMenuParty"},
        {"TOverhud", "TOverhud"},
        {"tMenuSprite", "tMenuSprite"},
        {"tInvAddWindow", "tInvAddWindow"},
        {"tIntercept", "tIntercept"},
        {"tTransitionWindow", "tTransitionWindow"},
        {"tAtlasImage", "tAtlasImage"},
    };
    for (const auto& type : types) {
        const AutoRegEntry* entry = nullptr;
        for (const AutoRegEntry* e : ClassAutoReg())
            if (std::string(e->name) == type.name)
                entry = e;
        ASSERT_NE(entry, nullptr) << type.name;
        std::unique_ptr<TWindow> window(entry->creator());
        ASSERT_NE(window, nullptr) << type.name;
        EXPECT_STREQ(window->GetTypeName(), type.made);
        EXPECT_TRUE(window->IsKindOf(entry->id)) << type.name;
    }
}

}  // namespace
