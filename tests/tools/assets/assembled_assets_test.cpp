// The assembled data folder: every file is there and reads through the engine's own readers,
// as the program reads them.

#include "core/files/archive_format.h"
#include "core/files/file.h"
#include "core/files/flat_file.h"
#include "core/xml/xml_node.h"
#include "lauxlib.h"
#include "lua.h"
#include "render/anim/animated_texture.h"
#include "render/gl/gl_display_handler.h"
#include "render/image/png_image.h"
#include "render/renderer/renderer.h"
#include "render/text/mvec_font.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kAssets = std::string(TV_ASSETS_RESOURCE_DIR) + "/assets";

// The resource map over the assembled folder, as the program's start-up builds it.
class AssembledAssets : public testing::Test
{
protected:
    void SetUp() override
    {
        TFile::ShutDownFileSystem();
        TFlatFile::mFlatFiles.clear();
        TFile::mUserDir = TFile::mCommonDir = TFile::mDesktopDir = "";
        TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
        TFile::ScanForResources();
        // Textures get their surfaces from the renderer's display handler.
        TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    }
    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        TFlatFile::mFlatFiles.clear();
        TFile::mResourceDir = "";
    }

    struct TImage
    {
        unsigned char* pixels = nullptr;
        int width = 0, height = 0, side = 0, alpha = 0;
        ~TImage() { EzPngFreeImage(pixels); }
        // 0xAARRGGBB; the block holds blue, green, red, alpha.
        uint32_t At(int x, int y) const
        {
            const unsigned char* p = pixels + (static_cast<size_t>(y) * side + x) * 4;
            return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    };
    static bool Load(const char* name, TImage* image)
    {
        return EzPngLoadImage(name, &image->pixels, &image->width, &image->height, &image->side, nullptr,
                              &image->alpha);
    }
};

TEST_F(AssembledAssets, EveryFileIsThere)
{
    const char* expected[] = {"settings.xml",
                              "strings.xml",
                              "dialog.zvp",
                              "voices.zvp",
                              "fonts/default.mvec",
                              "fonts/bold.mvec",
                              "images/background.png",
                              "images/button_normal.png",
                              "images/button_hover.png",
                              "images/button_pressed.png",
                              "images/button_mask.png",
                              "images/slider_railtop.png",
                              "images/slider_railmid.png",
                              "images/slider_railbot.png",
                              "images/slider_thumb.png",
                              "images/slider_thumb_hover.png",
                              "images/textfield.png",
                              "images/panel.png",
                              "anims/spinner.png",
                              "anims/spinner.xml",
                              "anims/spinner.anm",
                              "anims/spinner.lua",
                              "audio/music/mainmenumusic.ogg",
                              "audio/sfx/click.ogg",
                              "audio/sfx/rollover.ogg",
                              "audio/sfx/window_in.ogg",
                              "audio/sfx/window_out.ogg",
                              "audio/sfx/sfx_typing_01.ogg",
                              "audio/sfx/sfx_typing_02.ogg",
                              "audio/sfx/sfx_typing_03.ogg",
                              "audio/sfx/sfx_typing_04.ogg",
                              "scripts/mainloop.lua",
                              "scripts/quitverify.lua",
                              "layouts/mainmenu.lua",
                              "layouts/quitdialog.lua"};
    for (const char* name : expected) {
        EXPECT_TRUE(fs::is_regular_file(kAssets + "/" + name)) << name;
        EXPECT_GT(fs::file_size(kAssets + "/" + name), 0u) << name;
        EXPECT_TRUE(TFile::Exists(name)) << name << " is not in the resource map";
    }
    // Generator inputs and intermediate files stay out of the data folder.
    for (const auto& entry : fs::recursive_directory_iterator(kAssets)) {
        const std::string ext = entry.path().extension().string();
        EXPECT_TRUE(ext != ".img" && ext != ".snd" && ext != ".tmp") << entry.path();
    }
}

TEST_F(AssembledAssets, TheDialogArchiveListsItsPicturesAndServesThem)
{
    TFile archive;
    ASSERT_TRUE(archive.Open(("::" + kAssets + "/dialog.zvp").c_str(), kFileRead));
    std::vector<TArchiveEntry> entries;
    ASSERT_TRUE(ReadArchiveDirectory(archive, "dialog.zvp", entries));
    std::vector<std::string> names;
    for (const TArchiveEntry& e : entries)
        names.emplace_back(e.name.c_str());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"images/dialog/button_hover.png", "images/dialog/button_normal.png",
                                               "images/dialog/button_pressed.png", "images/dialog/frame.png"}));
    // The scan maps the entries, so the pictures load from inside the archive.
    const TResourceRef ref = TFile::Resolve("images/dialog/frame.png", true);
    EXPECT_EQ(ref.kind, eResourceKind::kArchive);
    TImage frame;
    ASSERT_TRUE(Load("images/dialog/frame.png", &frame));
    EXPECT_EQ(frame.width, 400);
    EXPECT_EQ(frame.height, 220);
    EXPECT_EQ(frame.At(0, 0) >> 24, 0u) << "rounded corner";
    EXPECT_EQ(frame.At(200, 110) >> 24, 0xFFu) << "opaque: nothing behind reads through";
}

TEST_F(AssembledAssets, PicturesHaveTheirSizesAndShapes)
{
    TImage background, normal, mask;
    ASSERT_TRUE(Load("images/background.png", &background));
    EXPECT_EQ(background.width, 800);
    EXPECT_EQ(background.height, 600);
    for (int y = 0; y < 600; y += 37)
        for (int x = 0; x < 800; x += 41)
            ASSERT_EQ(background.At(x, y) >> 24, 0xFFu) << x << "," << y << " the backdrop is opaque";

    ASSERT_TRUE(Load("images/button_normal.png", &normal));
    ASSERT_TRUE(Load("images/button_mask.png", &mask));
    EXPECT_EQ(normal.width, mask.width);
    EXPECT_EQ(normal.height, mask.height);
    // Where the button shows, the mask is white; around its corners black (no click).
    EXPECT_EQ(normal.At(0, 0) >> 24, 0u);
    EXPECT_EQ(mask.At(0, 0), 0xFF000000u);
    EXPECT_EQ(normal.At(100, 24) >> 24, 0xFFu);
    EXPECT_EQ(mask.At(100, 24), 0xFFFFFFFFu);
    for (const char* name : {"images/button_hover.png", "images/button_pressed.png"}) {
        TImage state;
        ASSERT_TRUE(Load(name, &state)) << name;
        EXPECT_EQ(state.width, normal.width) << name;
        EXPECT_NE(state.At(100, 30), normal.At(100, 30)) << name << " looks different";
    }
}

TEST_F(AssembledAssets, SoundsDecodeWithTheirFormats)
{
    TOggDataSource music;
    ASSERT_TRUE(music.InitFromFile("audio/music/mainmenumusic", false));
    EXPECT_EQ(music.GetChannels(), 2);
    EXPECT_EQ(music.GetBitRate(), 22050);
    // Sixteen beats at 96 per minute, cut to the beat so that it loops.
    EXPECT_EQ(music.GetRawLength(), 220500u * 2 * 2);

    const char* effects[] = {"audio/sfx/click.ogg",      "audio/sfx/rollover.ogg",      "audio/sfx/window_in.ogg",
                             "audio/sfx/window_out.ogg", "audio/sfx/sfx_typing_01.ogg", "audio/sfx/sfx_typing_04.ogg"};
    for (const char* name : effects) {
        TOggDataSource effect;
        ASSERT_TRUE(effect.InitFromFile(name, false)) << name;
        EXPECT_EQ(effect.GetChannels(), 1) << name;
        EXPECT_GT(effect.GetSeconds(), 0.01) << name;
        EXPECT_LT(effect.GetSeconds(), 0.5) << name << " an effect is short";
        std::vector<int16_t> pcm(effect.GetRawLength() / 2);
        ASSERT_EQ(effect.Read(pcm.data(), 0, static_cast<unsigned>(pcm.size() * 2)), pcm.size() * 2);
        int peak = 0;
        for (int16_t s : pcm)
            peak = std::max(peak, std::abs(int(s)));
        EXPECT_GT(peak, 2000) << name << " is audible";
    }
}

// The voice lines live in an archive and decode from inside it, the Speex line among them.
TEST_F(AssembledAssets, VoiceLinesDecodeFromTheirArchive)
{
    for (const char* name : {"audio/vox/mira_opening.ogg", "audio/vox/gardener_roses.spx"}) {
        EXPECT_EQ(TFile::Resolve(name, true).kind, eResourceKind::kArchive) << name;
        std::unique_ptr<TSoundDataSource> line;
        if (std::string(name).ends_with(".spx")) {
            auto speex = std::make_unique<TSpeexDataSource>();
            ASSERT_TRUE(speex->InitFromFile(name, false)) << name;
            line = std::move(speex);
        } else {
            auto vorbis = std::make_unique<TOggDataSource>();
            ASSERT_TRUE(vorbis->InitFromFile(name, false)) << name;
            line = std::move(vorbis);
        }
        // A spoken sentence of several words.
        EXPECT_GT(line->GetSeconds(), 1.5) << name;
        EXPECT_LT(line->GetSeconds(), 8.0) << name;
    }
}

TEST_F(AssembledAssets, FontsCoverLatin1)
{
    for (const char* name : {"fonts/default.mvec", "fonts/bold.mvec"}) {
        TFile file;
        ASSERT_TRUE(file.Open(name, kFileRead)) << name;
        const long size = file.Size();
        ASSERT_GT(size, 0);
        auto data = std::make_unique<unsigned char[]>(static_cast<size_t>(size));
        ASSERT_EQ(file.Read(data.get(), static_cast<unsigned long>(size)), static_cast<unsigned long>(size));
        TMvecFont font(std::move(data), static_cast<size_t>(size));
        ASSERT_FALSE(font.IsEmpty()) << name;
        for (unsigned long code : {0x41ul, 0x7Aul, 0xE9ul, 0xDFul, 0xFFul, 0x20ACul})
            EXPECT_GE(font.GetGlyphIndex(code), 0) << name << " lacks " << code;
    }
}

TEST_F(AssembledAssets, TheSpinnerHasEightFramesAndALoopingScript)
{
    for (const char* file : {"anims/spinner.xml", "anims/spinner.anm"}) {
        TAnimatedTexture spinner("anims/spinner");
        const bool parsed =
            std::string(file).ends_with(".xml") ? spinner.ParseFromXML(file) : spinner.ParseFromANM(file);
        ASSERT_TRUE(parsed) << file;
        const TAnimDescription& d = spinner.GetDescription();
        ASSERT_EQ(d.frames.size(), 8u) << file;
        EXPECT_EQ(d.frames[0].width, 32);
        EXPECT_EQ(d.frames[0].regX, 16);
        EXPECT_EQ(d.frames[0].regY, 16);
        EXPECT_NE(std::string(d.script.c_str()).find("while true do"), std::string::npos) << file;
    }
}

TEST_F(AssembledAssets, TheInterfaceAtlasPlacesItsPiecesOnTheScreen)
{
    // Drawn at (0, 0), a piece lands where the game layout's atlas image windows stand.
    const struct
    {
        const char* frame;
        TRect place;
    } pieces[] = {{"hud_vine_left", TRect(0, 497, 96, 531)}, {"hud_vine_right", TRect(704, 497, 800, 531)}};
    for (const char* file : {"quest/hud/pieces.xml", "quest/hud/pieces.anm"}) {
        TAnimatedTexture atlas("quest/hud/pieces");
        const bool parsed = std::string(file).ends_with(".xml") ? atlas.ParseFromXML(file) : atlas.ParseFromANM(file);
        ASSERT_TRUE(parsed) << file;
        for (const auto& piece : pieces) {
            const int frame = atlas.GetFrameByName(piece.frame);
            ASSERT_GE(frame, 0) << file << " " << piece.frame;
            EXPECT_EQ(atlas.GetBoundingBox(frame), piece.place) << file << " " << piece.frame;
        }
    }
}

TEST_F(AssembledAssets, EveryPictureTheProgressDataNamesIsThere)
{
    TFile file;
    ASSERT_TRUE(file.Open("quest/progress.lua", kFileRead));
    std::string code(static_cast<size_t>(file.Size()), '\0');
    ASSERT_EQ(file.Read(code.data(), code.size()), code.size());
    lua_State* L = lua_open();
    ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "progress.lua"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    // items: each item's icon ("anim") and cursor; quests: each quest's icon (its fourth value).
    std::vector<std::string> named;
    auto field = [&](const char* table, const char* key, int index) {
        lua_getglobal(L, table);
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            if (key) {
                lua_pushstring(L, key);
                lua_gettable(L, -2);
            } else {
                lua_rawgeti(L, -1, index);
            }
            if (lua_isstring(L, -1))
                named.emplace_back(lua_tostring(L, -1));
            lua_pop(L, 2);
        }
        lua_pop(L, 1);
    };
    field("items", "anim", 0);
    field("items", "cursor", 0);
    field("quests", nullptr, 4);
    lua_close(L);
    EXPECT_GE(named.size(), 10u);
    for (const std::string& picture : named)
        EXPECT_TRUE(TFile::Exists((picture + ".png").c_str())) << picture;
}

TEST_F(AssembledAssets, EveryScriptCompiles)
{
    int scripts = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kAssets)) {
        if (entry.path().extension() != ".lua")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string code = text.str();
        lua_State* L = lua_open();
        ASSERT_NE(L, nullptr);
        const int status = luaL_loadbuffer(L, code.data(), code.size(), entry.path().c_str());
        EXPECT_EQ(status, 0) << entry.path() << ": " << (lua_isstring(L, -1) ? lua_tostring(L, -1) : "");
        lua_close(L);
        ++scripts;
    }
    EXPECT_GE(scripts, 5);
}

}  // namespace
