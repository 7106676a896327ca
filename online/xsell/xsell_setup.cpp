#include "core/debug/debug_log.h"
#include "core/xml/xml_node.h"
#include "online/xsell/xsell_window.h"

void TXSellWindow::SetupXSell()
{
    for (str& link : mGameLinks)
        link = str();
    mSiteLink = str();

    TXmlNode doc;
    TXmlNode* root = doc.ParseFile("xsell/xsell.xml") ? doc.GetChild("xsell") : nullptr;
    int count = 0;
    if (!root) {
        WriteDbg("XSellWindow: no \"xsell\" document in xsell/xsell.xml");
    } else {
        str name;
        TXmlNode* child = nullptr;
        root->ResetChildren();
        while (root->GetNextChild(&name, &child)) {
            if (name != str("gameinfo"))
                continue;
            if (count == kMaxGames) {
                WriteDbg("XSellWindow: more than %d games listed; the rest are left out", kMaxGames);
                break;
            }
            ++count;
            const str button = str::getFormatted("xsellbutton%d", count);
            SetPartText(
                str::getFormatted("descrip%d", count),
                XSellDescriptionMarkup(child->GetAttribute("description"), child->GetAttribute("linktext"), button));
            mGameLinks[count] = child->GetAttribute("link");
        }

        if (TXmlNode* site = root->GetChild("sitelink"))
            mSiteLink = site->GetAttribute("link");
        else
            DisablePart("gamesite");
        if (TXmlNode* centre = root->GetChild("centertext")) {
            SetPartText("centertext1", centre->GetAttribute("text1"));
            SetPartText("centertext2", centre->GetAttribute("text2"));
        }
    }

    for (int i = count + 1; i <= kMaxGames; ++i) {
        DisablePart(str::getFormatted("descrip%d", i));
        DisablePart(str::getFormatted("xsellbutton%d", i));
    }
    CentreParts();
}
