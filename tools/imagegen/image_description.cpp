#include "tools/imagegen/image_description.h"

#include "tools/description/description_reader.h"

#include <cmath>

namespace {

constexpr size_t kMaxShapes = 10000;
// Coordinates may reach a little past the canvas (shapes cut by the edge), no further.
constexpr double kMaxCoordinate = 4 * kMaxImageGenSide;

class TImageParser
{
public:
    TImageParser(const std::string& source, const std::string& text, int frame, int frameCount, TImageDescription* out)
        : mReader(source, text), mOut(out), mPhase(frameCount > 0 ? double(frame) / frameCount : 0)
    {
    }

    bool Run(std::string* error)
    {
        *mOut = TImageDescription();
        std::vector<std::string> words;
        while (mReader.Next(&words)) {
            if (!Command(words))
                break;
        }
        if (mReader.Error().empty() && mOut->width == 0)
            mReader.Fail("the description has no 'size'");
        *error = mReader.Error();
        return error->empty();
    }

private:
    // A number, or keys "a~b~c" taken at this frame's place along them.
    bool Value(const std::string& word, double low, double high, double* out, const char* what)
    {
        std::vector<double> keys;
        size_t start = 0;
        for (;;) {
            const size_t tilde = word.find('~', start);
            double v = 0;
            if (!mReader.NumberIn(word.substr(start, tilde - start), low, high, &v, what))
                return false;
            keys.push_back(v);
            if (tilde == std::string::npos)
                break;
            start = tilde + 1;
        }
        if (keys.size() == 1) {
            *out = keys[0];
            return true;
        }
        const double along = mPhase * double(keys.size() - 1);
        const size_t i = static_cast<size_t>(along);
        const double f = along - double(i);
        *out = i + 1 < keys.size() ? keys[i] + (keys[i + 1] - keys[i]) * f : keys.back();
        return true;
    }

    bool Colour(const std::string& word, TRgba* out)
    {
        const bool shortForm = word.size() == 7, longForm = word.size() == 9;
        if (word.empty() || word[0] != '#' || !(shortForm || longForm))
            return mReader.Fail("bad colour '" + word + "' (#RRGGBB or #RRGGBBAA)");
        unsigned channel[4] = {0, 0, 0, 255};
        for (size_t i = 0; i + 1 < word.size(); i += 2) {
            unsigned v = 0;
            for (size_t k = 1 + i; k < 3 + i; ++k) {
                const char c = word[k];
                int digit = c >= '0' && c <= '9'   ? c - '0'
                            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                   : -1;
                if (digit < 0)
                    return mReader.Fail("bad colour '" + word + "' (#RRGGBB or #RRGGBBAA)");
                v = v * 16 + static_cast<unsigned>(digit);
            }
            channel[i / 2] = v;
        }
        *out = TRgba{channel[0] / 255.0, channel[1] / 255.0, channel[2] / 255.0, channel[3] / 255.0};
        return true;
    }

    bool Expect(const std::vector<std::string>& words, size_t low, size_t high, const char* form)
    {
        if (words.size() < low || words.size() > high)
            return mReader.Fail("expected '" + std::string(form) + "'");
        return true;
    }

    bool Box(const std::vector<std::string>& w, TShape* s)
    {
        return Value(w[1], -kMaxCoordinate, kMaxCoordinate, &s->x, "x") &&
               Value(w[2], -kMaxCoordinate, kMaxCoordinate, &s->y, "y") &&
               Value(w[3], 0, kMaxCoordinate, &s->w, "width") && Value(w[4], 0, kMaxCoordinate, &s->h, "height");
    }

    bool Command(const std::vector<std::string>& w)
    {
        const std::string& c = w[0];
        if (c == "size") {
            if (mOut->width != 0)
                return mReader.Fail("'size' given twice");
            double width = 0, height = 0;
            if (!Expect(w, 3, 3, "size W H") || !mReader.NumberIn(w[1], 1, kMaxImageGenSide, &width, "width") ||
                !mReader.NumberIn(w[2], 1, kMaxImageGenSide, &height, "height"))
                return false;
            if (width != std::floor(width) || height != std::floor(height))
                return mReader.Fail("the size is a whole number of pixels");
            mOut->width = static_cast<int>(width);
            mOut->height = static_cast<int>(height);
            return true;
        }
        if (mOut->width == 0)
            return mReader.Fail("'size' must come before '" + c + "'");
        if (mOut->shapes.size() >= kMaxShapes)
            return mReader.Fail("too many shapes");
        TShape s;
        bool ok = false;
        if (c == "fill") {
            s.kind = EShape::kFill;
            ok = Expect(w, 2, 2, "fill COLOUR") && Colour(w[1], &s.colour);
        } else if (c == "rect") {
            s.kind = EShape::kRect;
            ok = Expect(w, 6, 6, "rect X Y W H COLOUR") && Box(w, &s) && Colour(w[5], &s.colour);
        } else if (c == "frame") {
            s.kind = EShape::kFrame;
            ok = Expect(w, 7, 7, "frame X Y W H T COLOUR") && Box(w, &s) &&
                 Value(w[5], 0, kMaxCoordinate, &s.thickness, "thickness") && Colour(w[6], &s.colour);
        } else if (c == "roundrect") {
            s.kind = EShape::kRoundRect;
            ok = Expect(w, 7, 7, "roundrect X Y W H R COLOUR") && Box(w, &s) &&
                 Value(w[5], 0, kMaxCoordinate, &s.radius, "radius") && Colour(w[6], &s.colour);
        } else if (c == "roundframe") {
            s.kind = EShape::kRoundFrame;
            ok = Expect(w, 8, 8, "roundframe X Y W H R T COLOUR") && Box(w, &s) &&
                 Value(w[5], 0, kMaxCoordinate, &s.radius, "radius") &&
                 Value(w[6], 0, kMaxCoordinate, &s.thickness, "thickness") && Colour(w[7], &s.colour);
        } else if (c == "circle" || c == "ring") {
            s.kind = c == "circle" ? EShape::kCircle : EShape::kRing;
            const bool ring = s.kind == EShape::kRing;
            ok = Expect(w, ring ? 6 : 5, ring ? 6 : 5, ring ? "ring CX CY R T COLOUR" : "circle CX CY R COLOUR") &&
                 Value(w[1], -kMaxCoordinate, kMaxCoordinate, &s.x, "centre x") &&
                 Value(w[2], -kMaxCoordinate, kMaxCoordinate, &s.y, "centre y") &&
                 Value(w[3], 0, kMaxCoordinate, &s.radius, "radius") &&
                 (!ring || Value(w[4], 0, kMaxCoordinate, &s.thickness, "thickness")) &&
                 Colour(w[ring ? 5 : 4], &s.colour);
        } else if (c == "gradient") {
            s.kind = EShape::kGradient;
            ok = Expect(w, 7, 8, "gradient X Y W H FROM TO [vertical|horizontal]") && Box(w, &s) &&
                 Colour(w[5], &s.colour) && Colour(w[6], &s.colourTo);
            if (ok && w.size() == 8) {
                if (w[7] != "vertical" && w[7] != "horizontal")
                    return mReader.Fail("a gradient runs 'vertical' or 'horizontal', not '" + w[7] + "'");
                s.horizontal = w[7] == "horizontal";
            }
        } else {
            return mReader.Fail("unknown command '" + c + "'");
        }
        if (ok)
            mOut->shapes.push_back(s);
        return ok;
    }

    TDescriptionReader mReader;
    TImageDescription* mOut;
    double mPhase;
};

}  // namespace

bool ParseImageDescription(const std::string& sourceName, const std::string& text, int frame, int frameCount,
                           TImageDescription* out, std::string* error)
{
    if (frameCount < 1 || frame < 0 || frame >= frameCount) {
        *error =
            sourceName + ": frame " + std::to_string(frame) + " of " + std::to_string(frameCount) + " does not exist";
        return false;
    }
    TImageParser parser(sourceName, text, frame, frameCount, out);
    return parser.Run(error);
}
