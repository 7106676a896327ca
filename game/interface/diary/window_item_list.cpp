#include "game/interface/diary/window_item_list.h"

#include <algorithm>
#include <string>

#include "core/text/str_view.h"
#include "game/interface/diary/diary_message.h"
#include "game/interface/diary/diary_selection.h"
#include "game/interface/diary/diary_text.h"
#include "game/interface/diary/diary_text_window.h"
#include "game/interface/diary/window_item_entry.h"
#include "game/interface/windows/text_markup.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/state/gamestate.h"
#include "game/world/strings/localised_strings.h"
#include "render/text/text_graphic.h"
#include "ui/style/window_style.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/window/modal_window.h"

namespace {

bool HasEntries(int book)
{
    const tDiary* diary = gGamestate.GetDiary(book);
    return diary && diary->GetEntryCount() > 0;
}

}  // namespace

tWindowItemList::tWindowItemList()
{
    m_pDiary = nullptr;
    m_nItemCount = 0;
    m_nItem = 0;
}

TWindow* tWindowItemList::DynamicCreate()
{
    return new tWindowItemList;
}

void tWindowItemList::Init(TWindowStyle& style)
{
    mGlobals.Bind("SendDiaryMessage", &LuaSendDiaryMessage<tWindowItemList>);
    StartWindowAnimation(20, true, true, false);
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    mOutlineColor = style.GetColor("outline_color", mOutlineColor);
    mPointAtColor = style.GetColor("pointat_color", mPointAtColor);
    TWindow::Init(style);
}

void tWindowItemList::PostChildrenInit(TWindowStyle& style)
{
    dfWindow::PostChildrenInit(style);
    int book = style.GetInt("book", 0);
    for (int b : {1, 2}) {
        const tDiary* diary = gGamestate.GetDiary(b);
        if (diary && diary->HasNewEntry()) {
            book = b;
            break;
        }
    }
    SetBookNumber(book);
    SetActiveItem(m_nItemCount - 1);
    UpdateHintButton();
}

TWindow* tWindowItemList::Part(const char* name)
{
    return GetChildWindow(name, unsigned(-1));
}

TWindow* tWindowItemList::Sibling(const char* name)
{
    TWindow* parent = GetParent();
    return parent ? parent->GetChildWindow(name, unsigned(-1)) : nullptr;
}

void tWindowItemList::SetBookNumber(int book)
{
    if (book < 0 || book > 2) {
        LOGIT("Bad BOOKNUMBER\n");
        book = 0;
    }
    m_Book = book;
    m_pDiary = gGamestate.GetDiary(book);
    m_pDiary->ClearNewEntry();
    m_nItemCount = m_pDiary->GetEntryCount();

    static const char* const kHeaders[] = {"cover_item_notes_clues", "cover_item_notes_sketches",
                                           "cover_item_notes_pills"};
    SetDiaryText(Part("notes_list_header"), GlocalisedString(kHeaders[book]));

    SetActiveItem(m_nItemCount - 1);
    UpdateItemList();
    UpdateSlider();

    SetWindowEnable(Part("C_CLUES"), book != 0 && HasEntries(0));
    SetWindowEnable(Part("C_PILLS"), book != 2 && HasEntries(2));
    SetWindowEnable(Part("C_SKETCHES"), book != 1 && HasEntries(1));
    UpdateHintButton();
}

void tWindowItemList::SetActiveItem(int index)
{
    m_nItem = m_nItemCount > 0 ? std::clamp(index, 0, m_nItemCount - 1) : 0;
    UpdateEntryWindow();
    UpdateItemList();
    InvalidateDiaryScreen();
}

void tWindowItemList::SetActiveItem(const str& key)
{
    const int index = m_pDiary ? m_pDiary->GetEntryByName(key) : -1;
    SetActiveItem(index < 0 ? 0 : index);
}

void tWindowItemList::UpdateItemList()
{
    std::string list;
    bool first = true;
    for (int i = m_pDiary ? m_pDiary->GetEntryCount() - 1 : -1; i >= 0; --i) {
        const tDiaryEntry* entry = m_pDiary->GetEntry(i);
        if (!entry)
            continue;
        if (!first)
            list += "\n\n";
        first = false;
        if (i == m_nItem)
            list += TextView(OutlineStart(mOutlineColor, 2));
        list += TextView(LinkMarkup(entry->key, str("color=") + HexColor(mPointAtColor), DiaryMarkup(entry->title)));
        if (i == m_nItem)
            list += "</outline>";
    }
    const str text = ToStr(list);
    LOGIT("SET STRING TO [[%s]]\n", text.c_str());
    SetDiaryText(Part("listtext"), text);
}

void tWindowItemList::UpdateSlider()
{
    TText* text = GetCast<TText>(Part("listtext"));
    TSlider* slider = GetCast<TSlider>(Part("slider"));
    if (!text || !text->GetGraphic() || !slider)
        return;
    TRect bounds;
    text->GetGraphic()->GetTextBounds(&bounds, 1.0f);
    const int height = bounds.bottom - bounds.top;
    text->SetWindowSize(text->GetWindowWidth(), height);
    text->SetWindowPos(0, 0);
    const TWindow* visible = Part("listscrollwindow");
    const int visibleHeight = visible ? visible->GetWindowHeight() : 0;
    LOGIT("TEXT HEIGHT WAS %d, WINDOW HEIGHT WAS %d\n", height, visibleHeight);
    SetWindowEnable(slider, height >= visibleHeight);
    slider->SetValue(0, false);
}

void tWindowItemList::UpdateEntryWindow()
{
    if (auto* entry = GetCast<tWindowItemEntry>(Sibling("entry_window")))
        entry->RedrawItem();
    UpdateHintButton();
    UpdateStepButtons();
}

void tWindowItemList::UpdateStepButtons()
{
    SetWindowEnable(Sibling("older"), m_nItem > 0);
    SetWindowEnable(Sibling("newer"), m_nItem + 1 < m_nItemCount);
}

void tWindowItemList::UpdateHintButton()
{
    SetWindowEnable(Sibling("hintbutton"), m_Book != 1 && CanClickForHint());
}

void tWindowItemList::ClickedForHint()
{
    tDiaryEntry* entry = SelectedDiaryEntry();
    if (entry) {
        if (entry->unfolded + 1 < int(entry->body.size())) {
            LOGIT("UNFOLDING BODY\n");
            ++entry->unfolded;
        } else {
            LOGIT("No more bodies to unfold\n");
        }
    }
    UpdateEntryWindow();
}

void tWindowItemList::SendDiaryMessage(const str& message)
{
    if (message == "go_left")
        SetActiveItem(m_nItem - 1);
    else if (message == "go_right")
        SetActiveItem(m_nItem + 1);
    else if (message == "hint")
        ClickedForHint();
    else if (message == "clues")
        SetBookNumber(0);
    else if (message == "sketches")
        SetBookNumber(1);
    else if (message == "pills")
        SetBookNumber(2);
    else
        LOGIT("Unknown message %s\n", message.c_str());
}

bool tWindowItemList::OnMouseDown(const TPoint& point)
{
    TWindow* text = Part("listtext");
    const TPoint inText = text ? PointInWindow(*this, point, *text) : point;
    const str id = PickTextLink(text, inText);
    LOGIT("PT[%d, %d]TMP[%d, %d]CLICKED BUTTON [%s]\n", point.x, point.y, inText.x, inText.y, id.c_str());
    if (id.empty())
        return false;
    SetActiveItem(LinkKey(id));
    return true;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tWindowItemList", tWindowItemList::ClassId(), &tWindowItemList::DynamicCreate},
};
