#include "render/sprite/sprite.h"

#include "core/config/config.h"
#include "render/texture/texture.h"

#include "../support/render_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct TDrawRecord
{
    std::string texture;
    TDrawSpec spec;
};

std::vector<TDrawRecord> gDraws;

// A texture that records what it is asked to draw instead of drawing.
class TRecordingTexture : public TTexture
{
public:
    TRecordingTexture(std::string name, unsigned w, unsigned h) : mName(std::move(name)), mW(w), mH(h) {}
    void DrawSprite(const TDrawSpec& spec) override { gDraws.push_back({mName, spec}); }
    unsigned int GetWidth() override { return mW; }
    unsigned int GetHeight() override { return mH; }

private:
    std::string mName;
    unsigned mW, mH;
};

std::shared_ptr<TSprite> Recording(const std::string& name, int layer, unsigned w = 10, unsigned h = 10)
{
    return TSprite::Create(layer, std::make_shared<TRecordingTexture>(name, w, h));
}

std::vector<std::string> DrawOrder()
{
    std::vector<std::string> names;
    for (const TDrawRecord& d : gDraws)
        names.push_back(d.texture);
    return names;
}

class SpriteTree : public ::testing::Test
{
protected:
    SpriteTree() { UseGLDisplayHandler(); }
    void SetUp() override { gDraws.clear(); }
    void TearDown() override { TConfig::SetConfig(TConfig::kSpriteAlwaysTestChildren, ""); }
};

TEST_F(SpriteTree, ChildrenSortByLayerAndNegativeLayersDrawBehindTheParent)
{
    auto parent = Recording("parent", 0);
    auto l2 = Recording("2", 2), lm1 = Recording("-1", -1), l0 = Recording("0", 0), lm5 = Recording("-5", -5);
    for (auto& c : {l2, lm1, l0, lm5})
        parent->AddChild(c);
    ASSERT_EQ(parent->GetChildren().size(), 4u);
    EXPECT_EQ(parent->GetChildren()[0], lm5);
    EXPECT_EQ(parent->GetChildren()[1], lm1);
    EXPECT_EQ(parent->GetChildren()[2], l0);
    EXPECT_EQ(parent->GetChildren()[3], l2);

    parent->Draw(TDrawSpec(), -1);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"-5", "-1", "parent", "0", "2"}));

    gDraws.clear();
    parent->Draw(TDrawSpec(), 0);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"parent"}));
}

TEST_F(SpriteTree, EqualLayersKeepInsertionOrderAndSetLayerResorts)
{
    auto parent = TSprite::Create(0, nullptr);
    auto a = Recording("a", 1), b = Recording("b", 1), c = Recording("c", 1);
    parent->AddChild(a);
    parent->AddChild(b);
    parent->AddChild(c);
    b->SetLayer(1);  // unchanged: no re-sort
    parent->Draw(TDrawSpec(), 1);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"a", "b", "c"}));

    gDraws.clear();
    a->SetLayer(3);
    c->SetLayer(-1);
    parent->Draw(TDrawSpec(), 1);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(SpriteTree, InvisibleSpriteDrawsNothingOfItsSubtree)
{
    auto parent = Recording("parent", 0);
    parent->AddChild(Recording("child", 1));
    parent->SetVisible(false);
    parent->Draw(TDrawSpec(), -1);
    EXPECT_TRUE(gDraws.empty());
}

TEST_F(SpriteTree, AddChildMovesBetweenParentsAndRefusesCycles)
{
    auto first = TSprite::Create(0, nullptr);
    auto second = TSprite::Create(0, nullptr);
    auto child = Recording("child", 0);
    first->AddChild(child);
    EXPECT_TRUE(second->AddChild(child));
    EXPECT_TRUE(first->GetChildren().empty());
    EXPECT_EQ(child->GetParent(), second.get());
    EXPECT_TRUE(second->AddChild(child));
    EXPECT_EQ(second->GetChildren().size(), 1u);

    auto grandchild = TSprite::Create(0, nullptr);
    child->AddChild(grandchild);
    TLogCapture log;
    EXPECT_FALSE(grandchild->AddChild(second));
    EXPECT_FALSE(child->AddChild(child));
    EXPECT_NE(log.Text().find("refused"), std::string::npos);
    EXPECT_EQ(second->GetParent(), nullptr);
    EXPECT_EQ(child->GetParent(), second.get());
    // The tree still ends: drawing it terminates.
    second->Draw(TDrawSpec(), -1);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"child"}));
}

TEST_F(SpriteTree, RemoveChildClearsTheParentAndRefusesStrangers)
{
    auto parent = TSprite::Create(0, nullptr);
    auto child = Recording("child", 0);
    auto stranger = Recording("stranger", 0);
    parent->AddChild(child);
    EXPECT_FALSE(parent->RemoveChild(stranger));
    EXPECT_EQ(parent->GetChildren().size(), 1u);
    EXPECT_TRUE(parent->RemoveChild(child));
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_TRUE(parent->GetChildren().empty());

    parent->AddChild(child);
    parent.reset();
    EXPECT_EQ(child->GetParent(), nullptr);
}

TEST_F(SpriteTree, FlipsToggleAlongTheTreeAndAlphaMultiplies)
{
    auto parent = Recording("parent", 0);
    auto child = Recording("child", 1);
    auto grandchild = Recording("grandchild", 1);
    parent->AddChild(child);
    child->AddChild(grandchild);
    parent->mSpec.flags = TDrawSpec::kFlipH;
    parent->mSpec.alpha = 0.5f;
    child->mSpec.flags = TDrawSpec::kFlipH | TDrawSpec::kFlipV | TDrawSpec::kUseSourceRect;
    child->mSpec.alpha = 0.5f;
    grandchild->mSpec.alpha = 0.8f;

    TDrawSpec root;
    root.alpha = 0.5f;
    root.flags = TDrawSpec::kUseCentre;  // only the flip bits pass down
    parent->Draw(root, -1);
    ASSERT_EQ(gDraws.size(), 3u);
    EXPECT_EQ(gDraws[0].spec.flags, TDrawSpec::kFlipH);
    EXPECT_FLOAT_EQ(gDraws[0].spec.alpha, 0.25f);
    // A horizontally flipped parent draws a horizontally flipped child unflipped.
    EXPECT_EQ(gDraws[1].spec.flags, TDrawSpec::kFlipV | TDrawSpec::kUseSourceRect);
    EXPECT_FLOAT_EQ(gDraws[1].spec.alpha, 0.125f);
    EXPECT_EQ(gDraws[2].spec.flags, TDrawSpec::kFlipV);
    EXPECT_FLOAT_EQ(gDraws[2].spec.alpha, 0.1f);
}

TEST_F(SpriteTree, BlendModeIsInheritedOnlyWhenUnset)
{
    auto parent = Recording("parent", 0);
    auto inherits = Recording("inherits", 1);
    auto own = Recording("own", 1);
    parent->AddChild(inherits);
    parent->AddChild(own);
    parent->mSpec.blendMode = 2;
    own->mSpec.blendMode = 4;
    parent->Draw(TDrawSpec(), -1);
    ASSERT_EQ(gDraws.size(), 3u);
    EXPECT_EQ(gDraws[1].spec.blendMode, 2);
    EXPECT_EQ(gDraws[2].spec.blendMode, 4);
}

TEST_F(SpriteTree, MatricesApplyTheChildFirstThenTheParent)
{
    auto parent = Recording("parent", 0);
    auto child = Recording("child", 1);
    parent->AddChild(child);
    parent->mSpec.matrix.Scale(2);
    parent->mSpec.matrix[2] = TVec3(100, 50, 1);
    child->mSpec.matrix[2] = TVec3(10, 5, 1);
    parent->Draw(TDrawSpec(), -1);
    ASSERT_EQ(gDraws.size(), 2u);
    const TVec2 origin = TVec2(0, 0) * gDraws[1].spec.matrix;
    EXPECT_FLOAT_EQ(origin.x, 120.0f);
    EXPECT_FLOAT_EQ(origin.y, 60.0f);
}

TEST_F(SpriteTree, GetRectCoversTextureAndChildren)
{
    auto group = TSprite::Create(0, nullptr);
    EXPECT_EQ(group->GetRect(TDrawSpec(), -1), TRect(10000000, 10000000, -10000000, -10000000));

    auto a = Recording("a", 0, 20, 10);
    a->mSpec.matrix[2] = TVec3(100, 100, 1);
    EXPECT_EQ(a->GetRect(TDrawSpec(), 0), TRect(90, 95, 110, 105));

    a->mSpec.flags = TDrawSpec::kUseCentre;
    a->mSpec.centre = TVec2(0, 10);
    EXPECT_EQ(a->GetRect(TDrawSpec(), 0), TRect(100, 90, 120, 100));

    // A source rectangle gives the size of the drawn quad wherever it starts.
    a->mSpec.flags = TDrawSpec::kUseSourceRect;
    a->mSpec.source = TRect(4, 2, 10, 6);
    EXPECT_EQ(a->GetRect(TDrawSpec(), 0), TRect(97, 98, 103, 102));

    a->mSpec.flags = 0;
    auto b = Recording("b", 0, 4, 4);
    b->mSpec.matrix[2] = TVec3(-10, -10, 1);
    group->AddChild(a);
    group->AddChild(b);
    EXPECT_EQ(group->GetRect(TDrawSpec(), -1), TRect(-12, -12, 110, 105));
    EXPECT_EQ(group->GetRect(TDrawSpec(), 0), TRect(10000000, 10000000, -10000000, -10000000));
}

TEST_F(SpriteTree, RectangleHitTestExcludesRightAndBottomEdges)
{
    auto s = Recording("s", 0, 20, 10);
    s->mSpec.matrix[2] = TVec3(100, 100, 1);
    EXPECT_TRUE(s->HitTest(TPoint(90, 95), TDrawSpec(), -1, 0));
    EXPECT_TRUE(s->HitTest(TPoint(109, 104), TDrawSpec(), -1, 0));
    EXPECT_FALSE(s->HitTest(TPoint(110, 100), TDrawSpec(), -1, 0));
    EXPECT_FALSE(s->HitTest(TPoint(100, 105), TDrawSpec(), -1, 0));
    s->SetVisible(false);
    EXPECT_FALSE(s->HitTest(TPoint(100, 100), TDrawSpec(), -1, 0));
}

TEST_F(SpriteTree, GroupsTakePartInHitTestsOnlyWhenConfigured)
{
    auto group = TSprite::Create(0, nullptr);
    auto child = Recording("child", 0, 20, 20);
    group->AddChild(child);
    EXPECT_FALSE(group->HitTest(TPoint(0, 0), TDrawSpec(), -1, -1));
    TConfig::SetConfig(TConfig::kSpriteAlwaysTestChildren, "1");
    EXPECT_TRUE(group->HitTest(TPoint(0, 0), TDrawSpec(), -1, -1));
}

TEST_F(SpriteTree, MixedLayerAddsGiveTheStableLayerOrder)
{
    const int layers[] = {2, 0, 2, -1, 5, 0, 0, 3, -1, 5, 1, 2};
    auto parent = TSprite::Create(0, nullptr);
    std::vector<std::pair<int, std::shared_ptr<TSprite>>> want;
    for (int layer : layers) {
        auto child = TSprite::Create(layer, nullptr);
        parent->AddChild(child);
        want.emplace_back(layer, child);
    }
    std::stable_sort(want.begin(), want.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    ASSERT_EQ(parent->GetChildren().size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(parent->GetChildren()[i], want[i].second) << "position " << i;
}

// A texture that runs a step of its own when drawn, as a script drawing a sprite might.
class TActingTexture : public TRecordingTexture
{
public:
    TActingTexture(std::string name, std::function<void()> act) : TRecordingTexture(name, 10, 10), mAct(std::move(act))
    {
    }
    void DrawSprite(const TDrawSpec& spec) override
    {
        TRecordingTexture::DrawSprite(spec);
        if (mAct)
            mAct();
    }

private:
    std::function<void()> mAct;
};

TEST_F(SpriteTree, ChangesMadeWhileDrawingTakeEffectFromTheNextDraw)
{
    auto root = TSprite::Create(0, nullptr);
    auto a = TSprite::Create(1, nullptr);
    auto b = Recording("b", 2);
    auto late = Recording("late", 3);
    std::weak_ptr<TSprite> gone;
    // a's subtree goes three levels deep; its deepest sprite removes b, adds a newcomer and
    // removes its own parent chain from the root.
    auto deep1 = TSprite::Create(0, nullptr);
    auto deep2 = TSprite::Create(0, nullptr);
    auto actor = TSprite::Create(0, std::make_shared<TActingTexture>("actor", [&] {
                                     root->RemoveChild(b);
                                     root->AddChild(late);
                                     root->RemoveChild(gone.lock());
                                 }));
    root->AddChild(a);
    root->AddChild(b);
    a->AddChild(deep1);
    deep1->AddChild(deep2);
    deep2->AddChild(actor);
    gone = a;
    a.reset();

    root->Draw(TDrawSpec(), -1);
    // The walk went on over the list as it was when the root began: b drawn, late not yet;
    // a's subtree finished drawing although a left the tree (and died) meanwhile.
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"actor", "b"}));
    EXPECT_TRUE(gone.expired());

    gDraws.clear();
    root->Draw(TDrawSpec(), -1);
    EXPECT_EQ(DrawOrder(), (std::vector<std::string>{"late"}));
}

TEST_F(SpriteTree, SpriteCountIsPublished)
{
    const int before = TSprite::GetSpriteCount();
    ASSERT_EQ(before, 0);
    {
        auto a = TSprite::Create(0, nullptr);
        auto b = TSprite::Create(0, nullptr);
        a->AddChild(b);
        EXPECT_EQ(TConfig::GetConfig("current_sprite_count", ""), str::getFormatted("%d", before + 2));
    }
    EXPECT_EQ(TSprite::GetSpriteCount(), before);
    EXPECT_EQ(TConfig::GetConfig("current_sprite_count", ""), str("0"));
}

}  // namespace
