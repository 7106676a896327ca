#include "game/interface/diary/diary_window.h"

#include <algorithm>
#include <string>

#include "core/platform/event.h"
#include "core/text/str_view.h"
#include "game/interface/diary/diary_message.h"
#include "game/interface/diary/diary_text.h"
#include "game/interface/diary/diary_text_window.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/state/gamestate.h"
#include "render/text/text_graphic.h"
#include "ui/widgets/text.h"
#include "ui/window/modal_window.h"

TWindow* tDiaryWindow::DynamicCreate()
{
    return new tDiaryWindow;
}

void tDiaryWindow::Init(TWindowStyle& style)
{
    mGlobals.Bind("SendDiaryMessage", &LuaSendDiaryMessage<tDiaryWindow>);
    StartWindowAnimation(20, true, true, false);
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    int book = 0;
    for (int b : {1, 2})
        if (gGamestate.GetDiary(b)->HasNewEntry())
            book = b;
    mBook = gGamestate.GetDiary(book);
    mBook->ClearNewEntry();
    mPageCount = mBook->GetEntryCount();
    mPage = std::max(0, mPageCount - 1);
    TWindow::Init(style);
}

void tDiaryWindow::PostChildrenInit(TWindowStyle& style)
{
    dfWindow::PostChildrenInit(style);
    SetPage(mPage);
    UpdateQuestList();
}

void tDiaryWindow::SetPage(int n)
{
    mPage = mPageCount > 0 ? std::clamp(n, 0, mPageCount - 1) : 0;
    InvalidateDiaryScreen();
    const tDiaryEntry* entry = mBook ? mBook->GetEntry(mPage) : nullptr;
    if (!entry) {
        SetDiaryText(Part("diary_entry"), str());
        SetDiaryText(Part("diary_header"), str());
    } else {
        SetDiaryText(Part("diary_header"), str("Diary: ") + DiaryMarkup(entry->title));
    }
    SetWindowEnable(Part("left_arrow"), mPage >= 1);
    SetWindowEnable(Part("right_arrow"), mPage + 1 < mPageCount);
}

void tDiaryWindow::SetQuestItem(const str& key)
{
    const tQuestEntry* quest = gGamestate.GetQuests().GetEntry(key);
    // Quest texts are markup already: a script's own words were escaped when it added them.
    SetDiaryText(Part("diary_entry"), quest ? quest->body : str());
    SetDiaryText(Part("diary_header"), quest ? quest->title : str());
    InvalidateDiaryScreen();
}

void tDiaryWindow::UpdateQuestList()
{
    tQuestset& quests = gGamestate.GetQuests();
    std::string text;
    int n = 0;
    for (int i = 0; i < quests.GetEntryCount(); ++i) {
        const tQuestEntry* quest = quests.GetEntry(i);
        if (!quest)
            continue;
        ++n;
        text += quest->complete ? std::string("[x] ") : std::to_string(n) + ". ";
        text += TextView(LinkMarkup(quest->key, "color = 'ffffffff'", quest->title));
        text += '\n';
    }
    SetDiaryText(Part("quest_list"), ToStr(text));
}

void tDiaryWindow::SendDiaryMessage(const str& message)
{
    if (message == "go_left")
        SetPage(mPage - 1);
    else if (message == "go_right")
        SetPage(mPage + 1);
    else
        LOGIT("Unknown message %s\n", message.c_str());
}

bool tDiaryWindow::OnKeyDown(char key, unsigned int)
{
    switch (key) {
    case TEvent::kLeft: SetPage(mPage - 1); return true;
    case TEvent::kRight: SetPage(mPage + 1); return true;
    case TEvent::kEscape: return true;
    default: return false;
    }
}

bool tDiaryWindow::OnMouseMove(const TPoint& point)
{
    for (const char* name : {"diary_entry", "quest_list"}) {
        TText* text = GetCast<TText>(Part(name));
        if (!text || !text->GetGraphic())
            continue;
        const TPoint inText = PointInWindow(*this, point, *text);
        if (text->GetGraphic()->Rollover(&inText, 0))
            InvalidateDiaryScreen();
    }
    return dfWindow::OnMouseMove(point);
}

// The link under the point in the named text window; empty for none.
str tDiaryWindow::LinkAt(const char* name, const TPoint& point)
{
    TWindow* text = Part(name);
    return text ? LinkKey(PickTextLink(text, PointInWindow(*this, point, *text))) : str();
}

bool tDiaryWindow::OnMouseDown(const TPoint& point)
{
    if (const str body = LinkAt("diary_entry", point); !body.empty()) {
        LOGIT("CLICKED ON BODY [%s]\n", body.c_str());
        return true;
    }
    if (Part("quest_list")) {
        const str key = LinkAt("quest_list", point);
        if (key.empty())
            return false;
        LOGIT("CLICKED ON LINEITEM %s\n", key.c_str());
        SetQuestItem(key);
        return true;
    }
    SetPage(mPage);
    return false;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tDiaryWindow", tDiaryWindow::ClassId(), &tDiaryWindow::DynamicCreate},
};
