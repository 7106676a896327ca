#pragma once
// A modal window that runs a Lua dialog script (which builds its windows from the global
// "gDialogTable", holding the body and title) and then waits, in a script thread, for its own
// closing. A button named "http=<address>" opens that address in the web browser.
//   TWindowManager::GetInstance()->DisplayDialog("scripts/ok.lua", error, "Error", "error");

#include "ui/window/modal_window.h"

#include <functional>

class TDialog : public TModalWindow
{
    TV_CLASS(TDialog, TModalWindow)

public:
    using TBrowserOpener = std::function<bool(const char* url)>;

    TDialog(str script, str body, str title);
    ~TDialog() override;

    // Starts the clock, hands body and title to Lua, runs the script and starts the wait.
    bool OnNewParent() override;
    bool OnMessage(TMessage* message) override;

    const str& GetScriptName() const { return mScript; }
    const str& GetBody() const { return mBody; }
    const str& GetTitle() const { return mTitle; }

    // Where "http=" addresses go; an empty function goes back to the platform's browser.
    static void SetBrowserOpener(TBrowserOpener opener);

private:
    str mScript;
    str mBody;
    str mTitle;
};
