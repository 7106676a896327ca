#include "online/web/web_view.h"

#include "core/debug/debug_log.h"

namespace {

class TUnavailableWebView : public TWebView
{
public:
    bool Open() override
    {
        if (!mLogged) {
            mLogged = true;
            WriteDbg("Web view: no movie player on this system; movies are skipped");
        }
        return false;
    }
    void Show() override {}
    void Hide() override {}
    void LoadHTML(const str&) override {}
    str EvalScript(const str&) override { return str(); }
    str TextPageScheme() const override { return str("about:"); }

private:
    bool mLogged = false;
};

}  // namespace

std::shared_ptr<TWebView> GetProgramWebView()
{
    static const std::shared_ptr<TWebView> view = std::make_shared<TUnavailableWebView>();
    return view;
}
