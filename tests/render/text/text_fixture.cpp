#include "text_fixture.h"

#include "core/config/config.h"
#include "core/files/file.h"
#include "render/text/text_services.h"
#include "synthetic_font.h"

TTextTestServices::TTextTestServices()
{
    mFace = RoundFont("abcdefghijklmnopqrstuvwxyz<>");
    mFallback = RoundFont("#Z");
    TFile::mResourceMap.clear();
    TFile::AddMemoryFile("fonts/round.mvec", mFace.data(), static_cast<unsigned>(mFace.size()));
    TFile::AddMemoryFile("fonts/default.mvec", mFallback.data(), static_cast<unsigned>(mFallback.size()));
    mDrawer = std::make_unique<TZvMiniVecDraw>();
    mDrawer->Calibrate();
    mFonts = std::make_unique<TFontData>();
    SetMiniVecDraw(mDrawer.get());
    SetFontData(mFonts.get());
    TConfig::SetLegacyLineWrap(false);
}

TTextTestServices::~TTextTestServices()
{
    SetFontData(nullptr);
    SetMiniVecDraw(nullptr);
    mFonts.reset();
    mDrawer.reset();
    TFile::mResourceMap.clear();
    TConfig::SetLegacyLineWrap(false);
}

TTextGraphicPtr MakeRoundText(const char* text, unsigned width, unsigned height, unsigned flags, const char* font)
{
    return TTextGraphicPtr(TTextGraphic::Create(text, width, height, flags, font, 25, TColor(1, 1, 1, 1)));
}
