#pragma once
// The dialog that sends the player's best unsent local score with the medals earned, or the
// medals alone, to the score server: anonymously under a typed name, or under an account name
// and password (optionally remembered). The layout presets its fields from
// "GetLuaServerSubmitSetupVars", calls "SubmitToServer" when the player confirms and defines
// "SwitchModes"(connecting). Success closes the dialog with gReturnValue "qualified" (the
// score made the online table) or "success"; a failure shows "submiterror" and stays open.
//   SubmitWindow{ name = "submitdialog", TextEdit{ name = "nameedit" }, TextEdit{ name = "accountedit" },
//                 Button{ name = "submittoserver" }, Text{ name = "submiterror" }, ... }

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TZvHiscores;

class TServerSubmit : public TWindow
{
    TV_CLASS(TServerSubmit, TWindow)

public:
    // Per player in the preferences: the name of the last anonymous submission.
    static constexpr const char* kAnonNameKey = "_anonusername";

    TServerSubmit();
    ~TServerSubmit() override;
    static TWindow* DynamicCreate();
    // The window type "SubmitWindow" and the plain global "GetLuaServerSubmitSetupVars" in the
    // window manager's script state. Once, at start-up.
    static void Register();

    void PostChildrenInit(TWindowStyle& style) override;
    // kTextEditChanged: the submit button shows while a name or an account is typed.
    bool OnMessage(TMessage* message) override;
    bool OnTaskAnimate() override;

    void SubmitToServer(const str& name, const str& account, const str& password, bool remember, bool medals);
    bool IsPolling() const { return mPolling; }

private:
    // `canRetry` shows "submiterrorok", the way back to editing.
    void ShowError(const str& message, bool canRetry);
    void Finish(bool listed);

    TZvHiscores* mScores = nullptr;
    bool mPolling = false;
    tWindowGlobals mGlobals{this};
};

// The Lua chunk that presets the dialog's fields: gNameEdit (the last anonymous name),
// gAccountEdit, gPassEdit and gRemember (the remembered account, or empty and false),
// gMedalsMode, and without medals gEligibleScore (the best unsent local score, 0 for none).
// Every text is a quoted literal that its value cannot end.
str ServerSubmitSetupVars(bool medals);
