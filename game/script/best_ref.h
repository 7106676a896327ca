#pragma once
// Image names given without extension: a colour image with a separate mask image is tried
// before a plain image, and the form found is remembered per name for the whole run (a name
// found in no form is never looked up again).
//   auto cursor = BestRef("cursor/cursor", "?simple");
//   auto door = BestAnimatedRef("anim/door.xml");
//   int lit = BestFrameByName(door, "lamp");   // "lamp.png", "lamp.jpg", "lamp.jp2", "lamp"

#include <memory>

#include "core/text/str.h"

class TAnimatedTexture;
class TTexture;

std::shared_ptr<TTexture> BestRef(str name, str options);
std::shared_ptr<TAnimatedTexture> BestAnimatedRef(str name);
int BestFrameByName(const std::shared_ptr<TAnimatedTexture>& texture, str name);

// Where the images come from; the defaults are TTexture::GetMerged, TTexture::Get and
// TAnimatedTexture::Get. A null entry restores its default.
struct TBestRefSource
{
    std::shared_ptr<TTexture> (*merged)(const str& image, const str& mask) = nullptr;
    std::shared_ptr<TTexture> (*plain)(const str& image) = nullptr;
    std::shared_ptr<TAnimatedTexture> (*animated)(const str& name, const str& image, const str& mask) = nullptr;
};
void SetBestRefSource(const TBestRefSource& source);
// Forgets the forms remembered so far, as at start-up (for runs that change the data folder's
// files, such as tests).
void ForgetBestRefs();
