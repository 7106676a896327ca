#include "online/xsell/xsell_window.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "online/xsell/xsell_lua.h"
#include "ui/widgets/text.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<TXSellWindow*>& LiveWindows()
{
    static std::vector<TXSellWindow*> windows;
    return windows;
}

TXSellWindow::TLinkOpener& LinkOpener()
{
    static TXSellWindow::TLinkOpener opener;
    return opener;
}
}  // namespace

TV_REGISTER_WINDOW(TXSellWindow, &TXSellWindowDynamicCreate);

TWindow* TXSellWindowDynamicCreate()
{
    return new TXSellWindow;
}

bool RegisterXSellWindowType(TWindowManager* manager)
{
    if (!manager || !manager->GetScript()) {
        WriteDbg("XSellWindow: no window script attached; the window type is not registered");
        return false;
    }
    manager->AddWindowType("XSellWindow", TXSellWindow::ClassId());
    return true;
}

TXSellWindow::TXSellWindow()
{
    LiveWindows().push_back(this);
    TWindowManager* wm = TWindowManager::GetInstance();
    if (wm && wm->GetScript())
        BindXSellFunctions(wm->GetScript()->GetState());
    else
        WriteDbg("XSellWindow: no window script; SetupXSell and LaunchGameLink are not bound");
}

TXSellWindow::~TXSellWindow()
{
    auto& live = LiveWindows();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

TXSellWindow* TXSellWindow::GetCurrent()
{
    return LiveWindows().empty() ? nullptr : LiveWindows().back();
}

void TXSellWindow::SetLinkOpener(TLinkOpener opener)
{
    LinkOpener() = std::move(opener);
}

str TXSellWindow::GetGameLink(int n) const
{
    return n >= 1 && n <= kMaxGames ? mGameLinks[n] : str();
}

bool TXSellWindow::LaunchGameLink(int n)
{
    if (n < 0 || n > kMaxGames) {
        WriteDbg("LaunchGameLink: no link %d", n);
        return false;
    }
    const str url = n == 0 ? mSiteLink : mGameLinks[n];
    if (url.empty()) {
        WriteDbg("LaunchGameLink: link %d has no address", n);
        return false;
    }
    if (LinkOpener())
        return LinkOpener()(url.c_str());
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->OpenBrowser(url.c_str());
    WriteDbg("LaunchGameLink: no platform to open %s", url.c_str());
    return false;
}

str TXSellWindow::GetLink(int n) const
{
    return n == 0 ? mSiteLink : GetGameLink(n);
}

TWindow* TXSellWindow::Part(const str& name)
{
    return GetChildWindow(name, unsigned(-1));
}

void TXSellWindow::SetPartText(const str& name, const str& text)
{
    TWindow* part = Part(name);
    if (!part)
        return;
    TText* textWindow = GetCast<TText>(part);
    if (!textWindow) {
        WriteDbg("XSellWindow: %s is not a text window", name.c_str());
        return;
    }
    textWindow->SetText(text);
}

void TXSellWindow::DisablePart(const str& name)
{
    if (TWindow* part = Part(name))
        part->SetFlags(part->GetFlags() & ~kEnabled);
}

void TXSellWindow::CentreParts()
{
    if (mCentred)
        return;
    mCentred = true;
    std::vector<str> names;
    for (int n = 1; n <= kMaxGames; ++n)
        names.push_back(str::getFormatted("xsellbutton%d", n));
    names.insert(names.end(), {str("sitelogo"), str("vantorelllogo"), str("gamesite")});
    for (const str& name : names) {
        TWindow* part = Part(name);
        if (!part)
            continue;
        const TRect r = part->GetRect();
        part->SetWindowPos(r.left - (r.right - r.left) / 2, r.top - (r.bottom - r.top) / 2);
    }
}

str XSellDescriptionMarkup(const str& description, const str& linkText, const str& buttonName)
{
    std::string out = description.c_str();
    if (linkText.empty())
        return str(out.c_str(), out.size());
    out += " <u><font color=\"003cff\"><a id='";
    out += buttonName.c_str();
    out += "'>";
    // A backslash shows the next character as it is, so the link text cannot open a tag.
    for (const char* p = linkText.c_str(); *p; ++p) {
        if (*p == '<' || *p == '\\')
            out += '\\';
        out += *p;
    }
    out += "</a></font></u>";
    return str(out.c_str(), out.size());
}
