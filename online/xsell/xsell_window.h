#pragma once
// A page of the maker's other games: up to seven entries, each a description that may end in
// an underlined link, plus a site logo and a site link. The layout script places the child
// windows and then calls SetupXSell(); the entries come from "xsell/xsell.xml". The Lua
// functions SetupXSell() and LaunchGameLink(n) act on the most recently made cross-sell
// window that still exists.
//   RegisterXSellWindowType(TWindowManager::GetInstance());  // once the script is attached
//   -- layout:  { type = "XSellWindow", ... }  then  SetupXSell()  and  LaunchGameLink(2)

#include "core/text/str.h"
#include "ui/window/window.h"

#include <functional>

class TWindowManager;

class TXSellWindow : public TWindow
{
    TV_CLASS(TXSellWindow, TWindow)

public:
    static constexpr int kMaxGames = 7;

    TXSellWindow();
    ~TXSellWindow() override;

    // Fills the entries from the data file, disables the unused ones and centres the link
    // windows and logos on the points the layout gave them (once).
    void SetupXSell();
    // 0 opens the site link, 1 to 7 the link of that entry; anything else is refused.
    // Whether a browser was started for link n.
    bool LaunchGameLink(int n);

    // Entry 1 to 7; empty for other numbers.
    str GetGameLink(int n) const;
    // Link n of LaunchGameLink: 0 the site, 1 to 7 the games.
    str GetLink(int n) const;
    const str& GetSiteLink() const { return mSiteLink; }

    // The window the Lua functions act on, or null.
    static TXSellWindow* GetCurrent();

    // Opens an address; by default the platform's browser. For tests and other front ends.
    using TLinkOpener = std::function<bool(const char* url)>;
    static void SetLinkOpener(TLinkOpener opener);

private:
    // The named child, or null.
    TWindow* Part(const str& name);
    void SetPartText(const str& name, const str& text);
    void DisablePart(const str& name);
    void CentreParts();

    str mGameLinks[kMaxGames + 1];  // 1 to 7; 0 unused
    str mSiteLink;
    bool mCentred = false;
};

TWindow* TXSellWindowDynamicCreate();

// Makes "XSellWindow" a window type of the manager's layout script. False (logged) when no
// script is attached yet.
bool RegisterXSellWindowType(TWindowManager* manager);

// The description of an entry as text-window markup: the description, then, for a link text,
// the underlined link whose id is the entry's button name. The link text shows as written.
str XSellDescriptionMarkup(const str& description, const str& linkText, const str& buttonName);
