#pragma once
// What modal windows and the tree visitors need of the widgets that are pressed (buttons)
// and of sliders; the widget classes implement these beside TWindow.

class TWindow;

class TButtonControl
{
public:
    virtual ~TButtonControl() = default;
    // Acts as if clicked (hot keys).
    virtual void Press() = 0;
    // Runs the button's command; false when it has none or declines (Enter and Escape).
    virtual bool DoCommand() = 0;
    virtual bool IsDefaultButton() const = 0;
    virtual bool IsCancelButton() const = 0;
};

class TSliderControl
{
public:
    virtual ~TSliderControl() = default;
};

// Null for windows that are not buttons (or sliders).
TButtonControl* AsButton(TWindow* window);
bool IsSlider(TWindow* window);
