#pragma once
// The sliding panel of the game's dialogs: it glides in from the left when the dialog opens
// and out to the left when the dialog closes, then tells the dialog to close. The dialog finds
// it among its children by the name "transition".
//   dfModalWindow{ tTransitionWindow{ speed_in = 50, accel_in = 3, Image{ ... } } }

#include "game/interface/windows/df_window.h"
#include "game/world/targeter/targeter.h"

class tTransitionWindow : public dfWindow, public tTransitionControl
{
    TV_CLASS(tTransitionWindow, dfWindow)

public:
    enum TMODE
    {
        kSlidingIn = 0,
        kResting = 1,
        kSlidingOut = 2,
        kFinished = 3,
        kCloseNow = 4,
    };

    static TWindow* DynamicCreate();
    // "speed_in", "speed_out" (50), "accel_in", "accel_out" (3).
    void Init(TWindowStyle& style) override;
    bool OnTaskAnimate() override;
    void SetMode(int mode);
    void SetTransitionMode(int mode) override { SetMode(mode); }
    int GetMode() const { return mMode; }

private:
    // Asks the dialog to close: its id as the message's name.
    void PostClose();

    int mMode = kFinished;
    tTargeter mTargeter;
    float mSpeedIn = 50, mAccelIn = 3, mSpeedOut = 50, mAccelOut = 3;
};
