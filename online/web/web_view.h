#pragma once
// What the movie host needs of a web view: a place that shows an HTML page in the game
// window's stead, and a way to read the page's state back by evaluating a script in it.
//   std::shared_ptr<TWebView> view = GetProgramWebView();
//   if (view->Open()) { view->Show(); view->LoadHTML(page); ... view->Hide(); }

#include "core/text/str.h"

#include <memory>

class TWebView
{
public:
    virtual ~TWebView() = default;

    // Brings the view into being; false when this system cannot show movies at all.
    virtual bool Open() = 0;
    // Puts the view where the game window is and hides the game window.
    virtual void Show() = 0;
    // Takes the view away and shows the game window again.
    virtual void Hide() = 0;
    // Replaces the page with the given HTML text (no base address).
    virtual void LoadHTML(const str& html) = 0;
    // Evaluates the script in the page and answers its result as text.
    virtual str EvalScript(const str& script) = 0;
    // How the location of a page loaded from text (rather than from a file) begins.
    virtual str TextPageScheme() const = 0;
};

// The web view the program uses. No movie player exists on this system, so it never opens
// and every movie is skipped.
std::shared_ptr<TWebView> GetProgramWebView();
