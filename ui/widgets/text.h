#pragma once
// A window showing a block of formatted text (captions, button labels, paragraphs a slider
// scrolls). Style keys: "font" = {name, size, colour}, "label" (looked up in the string table
// while the window manager's lookup is on), "flags"/"defflags", "padding", "rotation",
// "rotationOriginX", "rotationOriginY", "rotationAlign". A link (<a id="ok">) pressed and
// released over the text runs the command of the button of that name in the same modal.
//   Text{ name = "title", label = "title", font = { "__DEFAULT", 20 }, w = 200, h = 30 }

#include "core/math/color.h"
#include "ui/window/window.h"

class TTextGraphic;

class TText : public TWindow
{
    TV_CLASS(TText, TWindow)

public:
    explicit TText(bool layered = false);
    ~TText() override;
    // The creation function layouts use.
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void Draw() override;
    // 0 shows the top, 1 the end.
    void SetScroll(float position, float second) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;

    virtual void SetText(str text);
    virtual str GetText();

    // False for a zero width or height.
    bool Create(str text, unsigned width, unsigned height, unsigned flags, const char* font, unsigned size,
                const TColor& color);
    void GetTextBounds(TRect* rect) const;
    int GetLineCount() const;
    TTextGraphic* GetGraphic() const { return mGraphic; }
    void SetLinePadding(int padding) { mLinePadding = padding; }
    int GetLinePadding() const { return mLinePadding; }
    float GetScale() const { return mScale; }
    const str& GetPressedLink() const { return mPressedLink; }

    // The label as a layout gives it: "#x" shows x, a number shows as written, anything else
    // is the string table's text (only while lookup is on).
    static str ResolveLabel(const str& label, bool lookup);

private:
    TTextGraphic* mGraphic = nullptr;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    int mLinePadding = 0;
    float mScrollMargin = 0.5f;
    str mPressedLink;
};
