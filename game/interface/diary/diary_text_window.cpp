#include "game/interface/diary/diary_text_window.h"

#include "game/script/window_autoreg.h"
#include "render/text/text_graphic.h"
#include "ui/window/window_manager.h"

TWindow* tDiaryText::DynamicCreate()
{
    return new tDiaryText;
}

TPoint PointInWindow(const TWindow& from, const TPoint& point, const TWindow& to)
{
    TPoint p = point;
    from.ClientToScreen(&p);
    to.ScreenToClient(&p);
    return p;
}

str PickTextLink(TWindow* text, const TPoint& point)
{
    const TText* window = GetCast<TText>(text);
    return window && window->GetGraphic() ? window->GetGraphic()->Pick(point, 0) : str();
}

void SetDiaryText(TWindow* window, const str& text)
{
    if (TText* t = GetCast<TText>(window))
        t->SetText(text);
}

void InvalidateDiaryScreen()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tDiaryText", tDiaryText::ClassId(), &tDiaryText::DynamicCreate},
};
