#include "game/screens/credits/credits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/text/str_view.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "render/renderer/renderer.h"
#include "render/text/text_graphic.h"
#include "ui/style/window_style.h"
#include "ui/window/window_manager.h"

namespace {

// A layout that leaves out the loop time or the font size would divide by zero: the roll
// falls back to a minute a loop and 16-pixel text.
constexpr uint32_t kDefaultPeriod = 60000;
constexpr int kDefaultFontSize = 16;

str HexColor(const TColor& c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", unsigned(int(c.red * 255)) & 0xffu,
                  unsigned(int(c.green * 255)) & 0xffu, unsigned(int(c.blue * 255)) & 0xffu,
                  unsigned(int(c.alpha * 255)) & 0xffu);
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line without its line end: only "\n" and "\r" are dropped, so a last line that has no
// line feed keeps its last character.
str StripLineEnd(const char* line)
{
    size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        --n;
    return str(line, n);
}

}  // namespace

str CreditLine(const str& line, const str& headerColor)
{
    const std::string_view text = TextView(line);
    size_t begin = 0, end = text.size();
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    std::string out;
    for (const char c : text.substr(begin, end - begin)) {
        if (c == '[')
            out += std::string("<font color='") + headerColor.c_str() + "'>";
        else if (c == ']')
            out += "</font>";
        else
            out += c;
    }
    return ToStr(out + "\n");
}

TCredits::TCredits() = default;
TCredits::~TCredits() = default;

TWindow* TCredits::DynamicCreate()
{
    return new TCredits;
}

void TCredits::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    const int period = style.GetInt("time", 0);
    mPeriod = period > 0 ? uint32_t(period) : kDefaultPeriod;
    const int pause = style.GetInt("intropause", 0);
    mIntroPause = pause > 0 ? uint32_t(pause) : 0;
    mColumnGap = style.GetInt("columngap", 0);
    mColumnWidth = style.GetInt("columnwidth", 0);
    mFont = style.GetString("font", str());
    mFontSize = int(style.GetNumber("fontsize", 16.0));
    if (mFontSize <= 0)
        mFontSize = kDefaultFontSize;
    mTextColor = style.GetColor("fontcolor", TColor(1, 1, 1, 1));
    mHeaderColor = HexColor(style.GetColor("headercolor", TColor(1, 1, 1, 1)));
    ReadFile(style.GetString("file", str()));
    MakeColumns();
    StartWindowAnimation(16, true, true, false);
}

void TCredits::ReadFile(const str& path)
{
    for (str& text : mTexts)
        text = "\n";
    TFile* file = path.empty() ? nullptr : zv_open(path.c_str(), kFileReadText);
    if (!file) {
        LOGIT("TCredits: cannot read the credits file [%s]\n", path.c_str());
        return;
    }
    std::string texts[3] = {"\n", "\n", "\n"};
    char buffer[1024];
    while (zv_gets(file, buffer, sizeof buffer)) {
        const str line = StripLineEnd(buffer);
        const unsigned bar = line.find('|');
        if (bar != str::npos) {
            texts[kLeft] += TextView(CreditLine(line.substr(0, bar), mHeaderColor));
            texts[kRight] += TextView(CreditLine(line.substr(bar + 1), mHeaderColor));
            texts[kCentre] += "\n";
        } else {
            texts[kLeft] += "\n";
            texts[kRight] += "\n";
            texts[kCentre] += TextView(CreditLine(line, mHeaderColor));
        }
    }
    zv_close(file);
    for (int c = 0; c < 3; ++c)
        mTexts[c] = ToStr(texts[c]);
}

void TCredits::MakeColumns()
{
    const int height = GetWindowHeight();
    for (str& text : mTexts)
        text += ToStr(std::string(size_t(std::max(0, height / mFontSize)), '\n'));
    const unsigned widths[3] = {unsigned(mColumnWidth), unsigned(mColumnWidth),
                                unsigned(mColumnGap + 2 * mColumnWidth)};
    for (int c = 0; c < 3; ++c)
        mColumns[c].reset(TTextGraphic::Create(mTexts[c] + mTexts[c], widths[c], unsigned(height), 1, mFont.c_str(),
                                               unsigned(mFontSize), mTextColor));
    TRect bounds{0, 0, 0, 0};
    if (mColumns[kLeft])
        mColumns[kLeft]->GetTextBounds(&bounds, 1.0f);
    mLoopLength = bounds.bottom / 2;
}

bool TCredits::OnTaskAnimate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    return true;
}

float TCredits::OffsetAt(uint32_t elapsed) const
{
    const uint32_t t = elapsed < mIntroPause ? 0 : elapsed - mIntroPause;
    return float(double(t % mPeriod) * mLoopLength / mPeriod);
}

void TCredits::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    const uint32_t now = platform ? platform->Timer() : 0;
    if (!mStarted) {
        mStarted = true;
        mStartTime = now;
    }
    const float offset = OffsetAt(now - mStartTime);
    const int w = GetWindowWidth();
    const int h = GetWindowHeight();
    const TRect rects[3] = {
        TRect{mColumnGap, -mFontSize, w / 2 - mColumnGap / 2, h + 2 * mFontSize},
        TRect{w / 2 + mColumnGap / 2, -mFontSize, w - mColumnGap, h + 2 * mFontSize},
        TRect{mColumnGap, -mFontSize, w - mColumnGap, h + 2 * mFontSize},
    };
    TBegin2d scope;
    for (int c = 0; c < 3; ++c) {
        if (!mColumns[c])
            continue;
        mColumns[c]->SetScroll(offset / float(mFontSize));
        mColumns[c]->Draw(rects[c], 1.0f, 0, 1.0f, nullptr);
    }
    scope.Done();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TCredits", TCredits::ClassId(), &TCredits::DynamicCreate},
};
