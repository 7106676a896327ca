#pragma once
// The text windows of the diary screens, and what the diary windows do with them. Their links are the diary window's to pick, so every
// mouse event goes on to it (the engine's text would take a link click as a button press). A
// scrolled window moves the whole text, so it never scrolls its own lines.
//   tDiaryText{ name = "listtext", w = 296, h = 380, font = { "fonts/default.mvec", 18 } }

#include "ui/widgets/text.h"

class tDiaryText : public TText
{
    TV_CLASS(tDiaryText, TText)

public:
    static TWindow* DynamicCreate();
    bool OnMouseDown(const TPoint&) override { return false; }
    bool OnMouseUp(const TPoint&) override { return false; }
    bool OnMouseMove(const TPoint&) override { return false; }
    bool OnMouseLeave() override { return false; }
    void SetScroll(float, float) override {}
};

// A point in the client space of `from`, in that of `to`.
TPoint PointInWindow(const TWindow& from, const TPoint& point, const TWindow& to);
// The link under `point` (client space of `text`); empty for none or when `text` is no text.
str PickTextLink(TWindow* text, const TPoint& point);
// Sets the text of a text window; nothing for a window that is missing or is no text.
void SetDiaryText(TWindow* window, const str& text);
void InvalidateDiaryScreen();
