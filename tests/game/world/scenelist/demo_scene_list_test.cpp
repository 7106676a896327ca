// The demo game's scene list and the pictures of its first two scenes, from the assembled data
// folder.

#include "game/world/scenelist/scene_list.h"

#include "game/world/awards/awards_manager.h"

#include "core/files/file.h"
#include "core/files/flat_file.h"

#include <lua.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DemoSceneList, ListsTheFourScenesAndCursorsWhoseImagesExist)
{
    TFile::ShutDownFileSystem();
    TFlatFile::mFlatFiles.clear();
    TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
    TFile::ScanForResources();
    std::vector<std::string> images;
    SetSceneListReaders({[&](const str&, const str& anim, const str& image, float, float) {
        images.push_back(std::string(anim.c_str()) + ".png");
        images.push_back(std::string(image.c_str()) + ".png");
    }});
    lua_State* main = lua_open();
    InitializeSceneNames("quest/scenelist.lua", main);
    SetSceneListReaders({});

    std::string scripts;
    for (const tSceneDesc& d : g_SceneDescs)
        scripts += std::string(d.GetFullPathFilename().c_str()) + " ";
    EXPECT_EQ(scripts, "quest/cottage/cottage.lua quest/garden/garden.lua quest/forest/forest.lua "
                       "quest/clearing/clearing.lua ");
    lua_getglobal(main, "kSceneCount");
    EXPECT_EQ(lua_tonumber(main, -1), 4);
    lua_close(main);
    EXPECT_EQ(images.size(), 14u);  // seven cursors
    EXPECT_EQ(gAwardsManager.GetAwardCount(), 12);

    const char* pictures[] = {"quest/cottage/cottage.png", "quest/cottage/cottage_light.png",
                              "quest/garden/garden_far.png", "quest/garden/garden_near.png",
                              "quest/garden/garden_front.png"};
    for (const char* p : pictures)
        images.push_back(p);
    for (const std::string& image : images)
        EXPECT_TRUE(TFile::Exists(image.c_str())) << image;

    g_SceneDescs.clear();
    TFile::ShutDownFileSystem();
    TFile::mResourceDir = "";
}

}  // namespace
