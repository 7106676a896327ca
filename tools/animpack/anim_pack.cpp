#include "tools/animpack/anim_pack.h"

#include <algorithm>
#include <numeric>

namespace {

// Empty pixels between frames, so that filtering never reaches a neighbour.
constexpr int kGap = 1;

struct TPlace
{
    int x = 0;
    int y = 0;
};

// Shelves of frames, tallest first, in a sheet `width` wide; the height used, or -1 when a frame
// is wider than the sheet.
int ShelfPack(const std::vector<TPackFrame>& frames, const std::vector<size_t>& order, int width,
              std::vector<TPlace>& places)
{
    places.assign(frames.size(), TPlace());
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        const TPackFrame& f = frames[i];
        if (f.width > width)
            return -1;
        if (x > 0 && x + f.width > width) {
            y += shelf + kGap;
            x = 0;
            shelf = 0;
        }
        places[i] = TPlace{x, y};
        x += f.width + kGap;
        shelf = std::max(shelf, f.height);
    }
    return y + shelf;
}

int PowerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

}  // namespace

bool PackAnimation(const std::vector<TPackFrame>& frames, const TPackOptions& options, TPackedAnimation* out,
                   std::string* error)
{
    if (frames.empty()) {
        *error = "no frames to pack";
        return false;
    }
    for (const TPackFrame& f : frames) {
        if (f.width <= 0 || f.height <= 0 || f.pixels.size() != size_t(f.width) * size_t(f.height)) {
            *error = "frame " + f.name + " has no pixels";
            return false;
        }
    }
    std::vector<size_t> order(frames.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return frames[a].height > frames[b].height; });

    // The narrowest power-of-two sheet of least area.
    int bestW = 0, bestH = 0;
    std::vector<TPlace> best, places;
    for (int w = 16; w <= kMaxSheetSide; w *= 2) {
        const int used = ShelfPack(frames, order, w, places);
        if (used < 0)
            continue;
        const int h = PowerOfTwoAtLeast(used);
        if (h > kMaxSheetSide)
            continue;
        if (bestW == 0 || size_t(w) * size_t(h) < size_t(bestW) * size_t(bestH)) {
            bestW = w;
            bestH = h;
            best = places;
        }
    }
    if (bestW == 0) {
        *error = "the frames do not fit a sheet of " + std::to_string(kMaxSheetSide) + " pixels on a side";
        return false;
    }

    out->sheetWidth = bestW;
    out->sheetHeight = bestH;
    out->sheet.assign(size_t(bestW) * size_t(bestH), 0u);
    TAnimDescription& d = out->description;
    d = TAnimDescription();
    d.sequenceName = options.name.c_str();
    d.source = "animpack";
    d.imageName = (options.name + ".png").c_str();
    d.sheetWidth = bestW;
    d.sheetHeight = bestH;
    for (size_t i = 0; i < frames.size(); ++i) {
        const TPackFrame& f = frames[i];
        for (int row = 0; row < f.height; ++row)
            std::copy_n(f.pixels.begin() + ptrdiff_t(row) * f.width, f.width,
                        out->sheet.begin() + ptrdiff_t(best[i].y + row) * bestW + best[i].x);
        TAnimFrame frame;
        frame.name = f.name.c_str();
        frame.x = best[i].x;
        frame.y = best[i].y;
        frame.width = f.width;
        frame.height = f.height;
        if (f.placed) {
            frame.regX = -f.placeX;
            frame.regY = -f.placeY;
        } else {
            frame.regX = options.hasRegistration ? options.regX : f.width / 2;
            frame.regY = options.hasRegistration ? options.regY : f.height;
        }
        d.largestWidth = std::max(d.largestWidth, f.width);
        d.largestHeight = std::max(d.largestHeight, f.height);
        d.frames.push_back(frame);
    }
    if (!options.script.empty()) {
        d.script = options.script.c_str();
    } else {
        std::string script = "function DoAnim()\n    delay(" + std::to_string(options.delayMs) + ");\n    frames{";
        for (size_t i = 1; i <= frames.size(); ++i)
            script += (i > 1 ? "," : "") + std::to_string(i);
        script += "};\nend\n";
        d.script = script.c_str();
    }
    return true;
}
