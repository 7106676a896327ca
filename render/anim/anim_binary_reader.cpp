#include "core/debug/debug_log.h"
#include "core/files/file_bytes.h"
#include "render/anim/animated_texture.h"
#include "render/anim/anm_cursor.h"

namespace {

// Fixed part of a frame record: six integers, six floats, the name's length, the anchor count.
constexpr size_t kFrameFixedBytes = 6 * 4 + 6 * 4 + 4 + 4;
// An anchor: two integers and its name's length.
constexpr size_t kAnchorFixedBytes = 3 * 4;

bool ReadFrame(TAnmCursor& in, int32_t version, TAnimFrame& f)
{
    if (!in.ReadInt(&f.regX) || !in.ReadInt(&f.regY) || !in.ReadInt(&f.x) || !in.ReadInt(&f.y) ||
        !in.ReadInt(&f.width) || !in.ReadInt(&f.height))
        return false;
    if (version > 1 && !in.ReadFloat(&f.alpha))
        return false;
    for (float& v : f.xform)
        if (!in.ReadFloat(&v))
            return false;
    int32_t anchors = 0;
    if (!in.ReadString(&f.name) || !in.ReadInt(&anchors))
        return false;
    if (anchors < 0 || static_cast<size_t>(anchors) > in.Remaining() / kAnchorFixedBytes)
        return false;
    f.anchors.resize(static_cast<size_t>(anchors));
    for (TAnimAnchor& a : f.anchors)
        if (!in.ReadInt(&a.x) || !in.ReadInt(&a.y) || !in.ReadString(&a.name))
            return false;
    return true;
}

}  // namespace

bool TAnimatedTexture::ParseFromANM(const str& file)
{
    std::vector<char> bytes;
    if (!ReadFileBytes(file, kFileRead, bytes))
        return false;
    TAnmCursor in(bytes);
    auto damaged = [&](const char* what) {
        WriteDbg("Animation %s is damaged: %s", mAssetName.c_str(), what);
        return false;
    };

    TAnimDescription anim;
    int32_t ignored = 0;
    int32_t version = 0;
    if (!in.ReadTag("ANIM"))
        return damaged("no ANIM tag");
    if (!in.ReadInt(&ignored) || !in.ReadInt(&version) || !in.ReadString(&anim.sequenceName) ||
        !in.ReadString(&anim.source))
        return damaged("header cut short");
    if (!in.ReadTag("IMGN"))
        return damaged("no IMGN tag");
    if (!in.ReadInt(&anim.regX) || !in.ReadInt(&anim.regY) || !in.ReadInt(&anim.sheetWidth) ||
        !in.ReadInt(&anim.sheetHeight))
        return damaged("image record cut short");
    if (version == 1)
        for (int i = 0; i < 4; ++i)
            if (!in.ReadInt(&ignored))
                return damaged("image record cut short");
    if (!in.ReadString(&anim.imageName) || !in.ReadString(&anim.maskName))
        return damaged("image names cut short");
    if (!in.ReadTag("FRMS"))
        return damaged("no FRMS tag");
    int32_t count = 0;
    if (!in.ReadInt(&count))
        return damaged("frame count missing");
    if (count > 0) {
        const size_t frameBytes = kFrameFixedBytes + (version > 1 ? 4 : 0);
        if (static_cast<size_t>(count) > in.Remaining() / frameBytes)
            return damaged("frame count larger than the file");
        anim.frames.resize(static_cast<size_t>(count));
        for (TAnimFrame& f : anim.frames)
            if (!ReadFrame(in, version, f))
                return damaged("frame record cut short");
    }

    bool hasScript = false;
    if (in.Remaining() >= 4 && in.ReadTag("SCRP")) {
        if (!in.ReadString(&anim.script))
            return damaged("script cut short");
        hasScript = true;
    }
    Adopt(std::move(anim));
    if (!hasScript)
        SetDefaultScript();
    return true;
}
