#include "tools/animpack/anim_pack.h"

#include "core/files/replace_file.h"
#include "tools/imagegen/png_writer.h"

#include "core/xml/xml_node.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

void PutInt(std::vector<char>& out, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

void PutFloat(std::vector<char>& out, float f)
{
    int32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    PutInt(out, bits);
}

void PutString(std::vector<char>& out, const str& s)
{
    PutInt(out, static_cast<int32_t>(s.length()));
    out.insert(out.end(), s.c_str(), s.c_str() + s.length());
}

void PutTag(std::vector<char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

str Number(float f)
{
    return str::getFormatted("%.9g", static_cast<double>(f));
}

// 0xAARRGGBB words to the R, G, B, A bytes the PNG encoder takes.
std::vector<uint8_t> RgbaBytes(const std::vector<uint32_t>& pixels)
{
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgba[i * 4 + 0] = uint8_t(pixels[i] >> 16);
        rgba[i * 4 + 1] = uint8_t(pixels[i] >> 8);
        rgba[i * 4 + 2] = uint8_t(pixels[i]);
        rgba[i * 4 + 3] = uint8_t(pixels[i] >> 24);
    }
    return rgba;
}

}  // namespace

std::string AnimationXml(const TAnimDescription& d)
{
    TXmlNode sequence("sequence");
    sequence.SetAttribute("name", d.sequenceName.c_str());
    sequence.SetAttribute("source", d.source.c_str());
    TXmlNode* img = sequence.CreateChild("img");
    img->SetAttribute("name", d.imageName.c_str());
    if (!d.maskName.empty())
        img->SetAttribute("mask", d.maskName.c_str());
    img->SetAttribute("w", d.sheetWidth);
    img->SetAttribute("h", d.sheetHeight);
    img->SetAttribute("regx", d.regX);
    img->SetAttribute("regy", d.regY);
    TXmlNode* framelist = sequence.CreateChild("framelist");
    const TAnimFrame* previous = nullptr;
    for (const TAnimFrame& f : d.frames) {
        TXmlNode* frame = framelist->CreateChild("frame");
        frame->SetAttribute("name", f.name.c_str());
        frame->SetAttribute("x", f.x);
        frame->SetAttribute("y", f.y);
        frame->SetAttribute("w", f.width);
        frame->SetAttribute("h", f.height);
        frame->SetAttribute("regx", f.regX);
        frame->SetAttribute("regy", f.regY);
        frame->SetAttribute("alpha", Number(f.alpha).c_str());
        // A frame without the attribute takes the previous frame's transform.
        const bool inherits = previous ? std::equal(f.xform, f.xform + 6, previous->xform) : !f.HasTransform();
        previous = &f;
        if (!inherits) {
            str xform;
            for (int i = 0; i < 6; ++i)
                xform += (i ? str(" ") : str("")) + Number(f.xform[i]);
            frame->SetAttribute("xform", xform.c_str());
        }
        for (const TAnimAnchor& a : f.anchors) {
            TXmlNode* anchor = frame->CreateChild("anchor");
            anchor->SetAttribute("name", a.name.c_str());
            anchor->SetAttribute("x", a.x);
            anchor->SetAttribute("y", a.y);
        }
    }
    TXmlNode* script = sequence.CreateChild("script");
    script->SetAttribute("luascript", d.script.c_str());
    return sequence.AsString().c_str();
}

std::vector<char> AnimationAnm(const TAnimDescription& d)
{
    std::vector<char> out;
    PutTag(out, "ANIM");
    PutInt(out, 0);
    PutInt(out, 2);
    PutString(out, d.sequenceName);
    PutString(out, d.source);
    PutTag(out, "IMGN");
    PutInt(out, d.regX);
    PutInt(out, d.regY);
    PutInt(out, d.sheetWidth);
    PutInt(out, d.sheetHeight);
    PutString(out, d.imageName);
    PutString(out, d.maskName);
    PutTag(out, "FRMS");
    PutInt(out, static_cast<int32_t>(d.frames.size()));
    for (const TAnimFrame& f : d.frames) {
        for (int32_t v : {f.regX, f.regY, f.x, f.y, f.width, f.height})
            PutInt(out, v);
        PutFloat(out, f.alpha);
        for (float v : f.xform)
            PutFloat(out, v);
        PutString(out, f.name);
        PutInt(out, static_cast<int32_t>(f.anchors.size()));
        for (const TAnimAnchor& a : f.anchors) {
            PutInt(out, a.x);
            PutInt(out, a.y);
            PutString(out, a.name);
        }
    }
    PutTag(out, "SCRP");
    PutString(out, d.script);
    return out;
}

bool WritePackedAnimation(const TPackedAnimation& packed, const std::string& folder, std::string* error)
{
    const TAnimDescription& d = packed.description;
    const std::string base = folder + d.sequenceName.c_str();
    std::vector<uint8_t> png;
    if (!EncodePngRgba(packed.sheetWidth, packed.sheetHeight, RgbaBytes(packed.sheet), &png, error))
        return false;
    const std::string xml = AnimationXml(d);
    const std::vector<char> anm = AnimationAnm(d);
    // The four files belong together: a failure leaves the earlier set, not half of each.
    if (!ReplaceDiskFiles({{(base + ".png").c_str(), png.data(), png.size()},
                           {(base + ".xml").c_str(), xml.data(), xml.size()},
                           {(base + ".anm").c_str(), anm.data(), anm.size()},
                           {(base + ".lua").c_str(), d.script.c_str(), d.script.length()}})) {
        *error = "cannot write " + base + ".png, .xml, .anm and .lua";
        return false;
    }
    return true;
}

bool ReadPngFrame(const std::string& path, TPackFrame* frame, std::string* error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        *error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    if (image.width > 8192 || image.height > 8192) {
        png_image_free(&image);
        *error = path + ": image too large";
        return false;
    }
    frame->width = static_cast<int>(image.width);
    frame->height = static_cast<int>(image.height);
    frame->pixels.assign(size_t(image.width) * image.height, 0u);
    if (!png_image_finish_read(&image, nullptr, frame->pixels.data(), 0, nullptr)) {
        *error = path + ": " + image.message;
        return false;
    }
    return true;
}

bool WritePngImage(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                   std::string* error)
{
    return WritePngRgba(path, width, height, RgbaBytes(pixels), error);
}
