#include "core/debug/debug_log.h"
#include "core/xml/xml_node.h"
#include "render/anim/anim_numbers.h"
#include "render/anim/animated_texture.h"

#include <cstring>

namespace {

int IntAttr(const TXmlNode* node, const char* name)
{
    return LeadingInt(node->GetAttribute(name).c_str());
}

// Up to six numbers; each after the first starts at the first space after the first character
// of the text the previous one was read from.
void ReadTransform(const str& text, float out[6])
{
    for (int i = 0; i < 6; ++i)
        out[i] = 0;
    const char* p = text.c_str();
    for (int i = 0; i < 6 && *p; ++i) {
        out[i] = LeadingFloat(p);
        const char* space = std::strchr(p + 1, ' ');
        if (!space)
            break;
        p = space;
    }
}

void ReadFrame(TXmlNode* node, const TAnimFrame* previous, TAnimFrame& f)
{
    f.x = IntAttr(node, "x");
    f.y = IntAttr(node, "y");
    f.width = IntAttr(node, "w");
    f.height = IntAttr(node, "h");
    f.name = node->GetAttribute("name");
    const str alpha = node->GetAttribute("alpha");
    f.alpha = alpha.empty() ? 1.0f : LeadingFloat(alpha.c_str());
    if (node->GetAttribute("regx").empty()) {
        f.regX = previous ? previous->regX : 0;
        f.regY = previous ? previous->regY : 0;
    } else {
        f.regX = IntAttr(node, "regx");
        f.regY = IntAttr(node, "regy");
    }
    const str xform = node->GetAttribute("xform");
    if (!xform.empty())
        ReadTransform(xform, f.xform);
    else if (previous)
        std::memcpy(f.xform, previous->xform, sizeof f.xform);

    str childName;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&childName, &child)) {
        if (childName != str("anchor"))
            continue;
        TAnimAnchor anchor;
        anchor.name = child->GetAttribute("name");
        anchor.x = IntAttr(child, "x");
        anchor.y = IntAttr(child, "y");
        f.anchors.push_back(anchor);
    }
}

}  // namespace

bool TAnimatedTexture::ParseFromXML(const str& file)
{
    TXmlNode root;
    root.ParseFile(file.c_str());
    TXmlNode* sequence = root.GetChild("sequence");
    if (!sequence) {
        WriteDbg("Animation %s does not contain a sequence node", mAssetName.c_str());
        return false;
    }
    TAnimDescription anim;
    anim.sequenceName = sequence->GetAttribute("name");
    anim.source = sequence->GetAttribute("source");

    bool result = true;
    if (TXmlNode* img = sequence->GetChild("img")) {
        if (!img->GetAttribute("regx").empty()) {
            anim.regX = IntAttr(img, "regx");
            anim.regY = IntAttr(img, "regy");
        }
        anim.sheetWidth = IntAttr(img, "w");
        anim.sheetHeight = IntAttr(img, "h");
        anim.imageName = img->GetAttribute("name");
        anim.maskName = img->GetAttribute("mask");
    } else {
        WriteDbg("Animation %s does not contain an img node", mAssetName.c_str());
        result = false;
    }

    TXmlNode* framelist = sequence->GetChild("framelist");
    if (!framelist) {
        WriteDbg("Animation %s does not contain a framelist node", mAssetName.c_str());
        result = false;
    } else {
        str childName;
        TXmlNode* child = nullptr;
        framelist->ResetChildren();
        while (framelist->GetNextChild(&childName, &child)) {
            if (childName != str("frame"))
                continue;
            TAnimFrame frame;
            ReadFrame(child, anim.frames.empty() ? nullptr : &anim.frames.back(), frame);
            anim.frames.push_back(std::move(frame));
        }
        if (anim.frames.empty()) {
            WriteDbg("Animation %s does not contain any frames!", mAssetName.c_str());
            result = false;
        }
    }

    TXmlNode* script = sequence->GetChild("script");
    if (script) {
        anim.script = script->GetAttribute("luascript");
        if (anim.script.empty())
            anim.script = script->GetContent();
    }
    Adopt(std::move(anim));
    if (!script)
        SetDefaultScript();
    return result;
}
