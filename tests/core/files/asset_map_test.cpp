// The asset map with stand-in asset kinds registered by extension.

#include "core/files/asset_map.h"
#include "file_test_fixture.h"

namespace {

class FakeTexture : public TAsset
{
    TV_ASSET_CLASS(FakeTexture, TAsset)
public:
    explicit FakeTexture(std::string from) : source(std::move(from)) {}
    std::string source;
};

class FakeAnimation : public FakeTexture
{
    TV_ASSET_CLASS(FakeAnimation, FakeTexture)
public:
    using FakeTexture::FakeTexture;
};

class FakeSound : public TAsset
{
    TV_ASSET_CLASS(FakeSound, TAsset)
public:
    explicit FakeSound(std::string from) : source(std::move(from)) {}
    std::string source;
};

class AssetMapTest : public FileLayerTest
{
protected:
    void SetUp() override
    {
        FileLayerTest::SetUp();
        TAssetManager::SetInstance(&manager);
        auto texture = [this](const str& resolved) -> std::shared_ptr<TAsset> {
            ++loads;
            if (!TFile::Exists(resolved.substr(0, static_cast<int>(resolved.find('?')))))
                return nullptr;
            return std::make_shared<FakeTexture>(resolved.c_str());
        };
        TAssetMap::RegisterLoader("png", {FakeTexture::ClassId(), nullptr, texture});
        TAssetMap::RegisterLoader("jpg", {FakeTexture::ClassId(), nullptr, texture});
        TAssetMap::RegisterLoader("xml", {FakeAnimation::ClassId(),
                                          [](const str& requested, const str&) { return requested + ":anim"; },
                                          [this](const str& resolved) -> std::shared_ptr<TAsset> {
                                              ++loads;
                                              return std::make_shared<FakeAnimation>(resolved.c_str());
                                          }});
        TAssetMap::RegisterLoader(
            "ogg", {FakeSound::ClassId(), SoundHandle, [this](const str& resolved) -> std::shared_ptr<TAsset> {
                        ++loads;
                        return std::make_shared<FakeSound>(resolved.c_str());
                    }});
    }

    void TearDown() override
    {
        for (const char* type : {"png", "jpg", "xml", "ogg"})
            TAssetMap::UnregisterLoader(type);
        TAssetManager::SetInstance(nullptr);
        FileLayerTest::TearDown();
    }

    TAssetManager manager;
    int loads = 0;
};

TEST_F(AssetMapTest, NameWithoutExtensionFindsTheFileAndMapsTheRequestedName)
{
    Put("assets/images/door.png", "png");
    TFile::ScanForResources();
    TAssetMap map;
    map.AddAsset("images\\door");
    EXPECT_TRUE(map.QueryAsset("images/door"));
    EXPECT_TRUE(map.QueryAsset("images\\door"));
    auto tex = map.GetTexture<FakeTexture>("images/door");
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->source, "images/door.png");
    EXPECT_EQ(tex->GetTypeName(), std::string("FakeTexture"));
}

TEST_F(AssetMapTest, ExtensionsAreTriedInOrder)
{
    Put("assets/x.png", "png");
    Put("assets/x.xml", "xml");
    Put("assets/y.png", "png");
    Put("assets/y.jpg", "jpg");
    TFile::ScanForResources();
    TAssetMap map;
    const char* names[] = {"x", "y", nullptr};
    map.AddAssets(names);
    auto x = map.GetTexture<FakeTexture>("x");
    ASSERT_TRUE(x);
    EXPECT_TRUE(x->IsKindOf(FakeAnimation::ClassId()));
    EXPECT_EQ(x->source, "x.xml");
    EXPECT_EQ(map.GetTexture<FakeTexture>("y")->source, "y.jpg");
}

TEST_F(AssetMapTest, QueryIsPassedToTheLoaderAndTheSoundKey)
{
    Put("assets/door.ogg", "ogg");
    TFile::ScanForResources();
    TAssetMap map;
    map.AddAsset("door?group=3");
    auto sound = map.GetSound<FakeSound>("door?group=3");
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->source, "door.ogg?group=3");
    EXPECT_EQ(manager.GetAsset(SoundHandle("door?group=3", "?group=3")), sound);

    EXPECT_STREQ(SoundHandle("door.ogg", "?group=3").c_str(), "door.ogg;0;3");
    EXPECT_STREQ(SoundHandle("door.ogg", "").c_str(), "door.ogg;0;0");
    EXPECT_STREQ(SoundHandle("a.ogg", "?x&group=12").c_str(), "a.ogg;0;12");
}

TEST_F(AssetMapTest, UnlistedTypeAndMissingFilesLogAndStoreNothing)
{
    Put("assets/notes.txt", "text");
    TFile::ScanForResources();
    TAssetMap map;
    testing::internal::CaptureStderr();
    map.AddAsset("notes.txt");
    map.AddAsset("nothing");
    map.AddAsset("nothing", nullptr, true);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("TAssetMap::AddAsset: Error loading notes.txt"), std::string::npos) << log;
    EXPECT_NE(log.find("Failed to find asset nothing with any standard extension"), std::string::npos) << log;
    EXPECT_EQ(log.find("nothing", log.find("nothing") + 1), std::string::npos) << "quiet still logged";
    EXPECT_FALSE(map.QueryAsset("notes.txt"));
}

TEST_F(AssetMapTest, TwoMapsShareOneObjectUntilBothRelease)
{
    Put("assets/shared.png", "png");
    TFile::ScanForResources();
    std::weak_ptr<FakeTexture> seen;
    {
        auto first = std::make_unique<TAssetMap>();
        first->AddAsset("shared.png");
        TAssetMap second;
        second.AddAsset("shared.png");
        EXPECT_EQ(loads, 1);
        EXPECT_EQ(first->GetTexture<FakeTexture>("shared.png"), second.GetTexture<FakeTexture>("shared.png"));
        seen = second.GetTexture<FakeTexture>("shared.png");
        first.reset();
        EXPECT_FALSE(seen.expired());
    }
    EXPECT_TRUE(seen.expired());
    EXPECT_EQ(manager.GetAsset("shared.png"), nullptr);
    TAssetMap third;
    third.AddAsset("shared.png");
    EXPECT_EQ(loads, 2);
}

TEST_F(AssetMapTest, CachedAssetOfAnotherKindIsNotReused)
{
    Put("assets/thing.png", "png");
    TFile::ScanForResources();
    auto sound = std::make_shared<FakeSound>("impostor");
    manager.AddAsset("thing", sound);
    TAssetMap map;
    map.AddAsset("thing");
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(map.GetTexture<FakeTexture>("thing")->source, "thing.png");
    EXPECT_EQ(map.GetSound<FakeSound>("thing"), nullptr);
}

TEST_F(AssetMapTest, AutoLoadDecidesWhetherAMissLoads)
{
    Put("assets/late.png", "png");
    TFile::ScanForResources();
    TAssetMap map;
    testing::internal::CaptureStderr();
    EXPECT_EQ(map.GetTexture<FakeTexture>("late"), nullptr);
    EXPECT_EQ(map.GetSound<FakeSound>("late"), nullptr);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Texture asset not found: late (auto load set to false)"), std::string::npos) << log;
    EXPECT_NE(log.find("Sound asset not found: late"), std::string::npos) << log;
    EXPECT_EQ(loads, 0);

    map.mAutoLoad = true;
    auto tex = map.GetTexture<FakeTexture>("late");
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->source, "late.png");
}

TEST_F(AssetMapTest, GivenAssetsAreStoredAsTheyAre)
{
    TAssetMap map;
    auto given = std::make_shared<FakeSound>("given");
    map.AddAsset("sfx\\click", given);
    EXPECT_EQ(map.GetSound<FakeSound>("sfx/click"), given);
    EXPECT_EQ(map.GetTexture<FakeTexture>("sfx/click"), nullptr);
}

TEST_F(AssetMapTest, WorksWithoutAnAssetManager)
{
    TAssetManager::SetInstance(nullptr);
    Put("assets/solo.png", "png");
    TFile::ScanForResources();
    TAssetMap map;
    map.AddAsset("solo");
    EXPECT_TRUE(map.QueryAsset("solo"));
}

TEST(AssetIdentity, CastsFollowTheClassTree)
{
    auto anim = std::make_shared<FakeAnimation>("a");
    std::shared_ptr<TAsset> base = anim;
    EXPECT_NE(FakeTexture::ClassId(), FakeAnimation::ClassId());
    EXPECT_NE(TAsset::ClassId(), FakeTexture::ClassId());
    EXPECT_TRUE(base->IsKindOf(TAsset::ClassId()));
    EXPECT_EQ(base->GetCast<FakeTexture>(), anim);
    EXPECT_EQ(base->GetCast<FakeSound>(), nullptr);
    EXPECT_EQ(AssetCast<FakeSound>(nullptr), nullptr);
    FakeTexture onStack("s");
    EXPECT_EQ(onStack.GetCast<FakeTexture>(), nullptr);

    TAssetManager m;
    EXPECT_EQ(m.GetAsset("missing"), nullptr);
    m.AddAsset("k", anim);
    EXPECT_EQ(m.GetAsset("k"), anim);
    m.RemoveAsset("k");
    EXPECT_EQ(m.GetAsset("k"), nullptr);
}

}  // namespace
