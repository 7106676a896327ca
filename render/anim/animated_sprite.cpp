#include "render/anim/animated_sprite.h"

#include "core/debug/debug_log.h"
#include "render/anim/animation_library.h"
#include "render/anim/sprite_functions.h"
#include "render/anim/sprite_script.h"
#include "render/anim/sprite_task_host.h"

namespace {

// Out of the task list and still; it must not run again until it is deleted.
void Retire(TSpriteScript* script)
{
    OrphanSpriteTask(script);
    script->Pause();
}

}  // namespace

str TAnimatedSpriteData::GetScriptString() const
{
    return mTexture ? mTexture->GetScript() : str("");
}

void TAnimatedSpriteData::ResetThread()
{
    TSpriteScript::Dispose(mRetiredThread);
    mRetiredThread = nullptr;
    if (!mThread)
        return;
    if (mScript)
        mThread->RestoreGlobals(mScript);
    Retire(mThread);
    mRetiredThread = mThread;
    mThread = nullptr;
}

void TAnimatedSpriteData::RetireScript()
{
    TSpriteScript::Dispose(mRetiredScript);
    mRetiredScript = nullptr;
    if (!mScript)
        return;
    Retire(mScript);
    mRetiredScript = mScript;
    mScript = nullptr;
}

TAnimatedSpriteData::~TAnimatedSpriteData()
{
    // Nothing of the sprite's may run again: all four go (later, for one that is running).
    ResetThread();
    RetireScript();
    TSpriteScript::Dispose(mRetiredThread);
    TSpriteScript::Dispose(mRetiredScript);
}

unsigned SpriteRandomRange(unsigned min, unsigned max)
{
    if (max == min)
        return min;
    return min + SpriteRandom() % (max - min);
}

std::shared_ptr<TAnimatedSprite> TAnimatedSprite::Create(int layer)
{
    return std::shared_ptr<TAnimatedSprite>(new TAnimatedSprite(layer));
}

TAnimatedSprite::TAnimatedSprite(int layer) : TSprite(layer), mData(std::make_unique<TAnimatedSpriteData>()) {}

TAnimatedSprite::~TAnimatedSprite()
{
    mData.reset();
}

void TAnimatedSprite::ShowOwnFrame()
{
    if (mData->mTexture)
        mData->mTexture->SetCurrentFrame(mData->mCurrentFrame);
}

void TAnimatedSprite::Draw(const TDrawSpec& parent, int depth)
{
    ShowOwnFrame();
    TSprite::Draw(parent, depth);
}

TRect TAnimatedSprite::GetRect(const TDrawSpec& parent, int depth)
{
    bool centreSetHere = false;
    if (!(mSpec.flags & TDrawSpec::kUseCentre) && mData->mTexture) {
        const std::shared_ptr<TAnimatedTexture>& t = mData->mTexture;
        centreSetHere = true;
        mSpec.flags |= TDrawSpec::kUseCentre;
        const TPoint reg = t->GetRegistrationPoint(mData->mCurrentFrame);
        mSpec.centre = TVec2(static_cast<float>(reg.x), static_cast<float>(reg.y));
        // The frame size the texture reports for the sprite's own frame.
        t->SetCurrentFrame(mData->mCurrentFrame);
        if (mSpec.flags & TDrawSpec::kFlipH)
            mSpec.centre.x = static_cast<float>(t->GetWidth()) - mSpec.centre.x;
        if (mSpec.flags & TDrawSpec::kFlipV)
            mSpec.centre.y = static_cast<float>(t->GetHeight()) - mSpec.centre.y;
    }
    ShowOwnFrame();
    const TRect r = TSprite::GetRect(parent, depth);
    if (centreSetHere)
        mSpec.flags &= ~TDrawSpec::kUseCentre;
    return r;
}

bool TAnimatedSprite::HitTest(const TPoint& point, const TDrawSpec& parent, int alphaThreshold, int depth)
{
    ShowOwnFrame();
    return TSprite::HitTest(point, parent, alphaThreshold, depth);
}

void TAnimatedSprite::SetTexture(std::shared_ptr<TTexture> texture)
{
    TSprite::SetTexture(texture);
    if (texture && texture->IsKindOf(TAnimatedTexture::ClassId()))
        mData->mTexture = std::static_pointer_cast<TAnimatedTexture>(texture);
}

bool TAnimatedSprite::Init(const str& description, const str& image, const str& mask)
{
    mData->mTexture = TAnimatedTexture::Get(description, image, mask);
    return mData->mTexture != nullptr;
}

void TAnimatedSprite::SetCurrentFrame(int frame)
{
    if (frame < -1)
        return;
    mData->mCurrentFrame = frame;
    if (mData->mTexture && frame < mData->mTexture->GetNumFrames())
        mData->mTexture->SetCurrentFrame(frame);
}

void TAnimatedSprite::SetClock(TClock* clock)
{
    mData->mClock = clock;
    if (mData->mThread)
        mData->mThread->SetClock(clock);
}

TSpriteScript* TAnimatedSprite::NewScript()
{
    mData->ResetThread();
    mData->RetireScript();
    TSpriteScript* script = TSpriteScript::NewScript(mData->mClock, weak_from_this());
    if (!script)
        return nullptr;
    mData->mScript = script;
    AdoptSpriteTask(script);
    script->RunText(kAnimationLibrarySource, kAnimationLibraryChunkName);
    RegisterSpriteFunctions(script->GetState());
    if (mData->mTexture) {
        const str folder = mData->mTexture->GetPath();
        script->SetSearchPath(
            str::getFormatted("?;?.lua;scripts/?;scripts/?.lua;%s?;%s?.lua", folder.c_str(), folder.c_str()));
        script->RunText(mData->mTexture->GetScript());
    }
    return script;
}

TSpriteScript* TAnimatedSprite::GetScript()
{
    if (mData->mThread)
        return mData->mThread;
    if (mData->mScript)
        return mData->mScript;
    return NewScript();
}

void TAnimatedSprite::Play(const str& name)
{
    if (!mData->mScript) {
        if (!mData->mTexture)
            return;
        if (!NewScript())
            return;
    }
    mData->ResetThread();
    TSpriteScript* thread = mData->mScript->NewThread();
    thread->SetClock(mData->mClock);
    mData->mThread = thread;
    AdoptSpriteTask(thread);
    if (name.empty())
        return;
    str error;
    // Nothing of the thread is touched afterwards: the script may have replaced it.
    if (!thread->Start(name.c_str(), &error))
        WriteDbg("TAnimatedSprite::Play: lua_resume error: %s", error.c_str());
}

void TAnimatedSprite::Pause(bool pause, int depth)
{
    if (!mData->mThread)
        return;
    if (mData->mScript) {
        if (pause)
            mData->mThread->Pause();
        else
            mData->mThread->SetDelay(1, true, true, false);
    }
    if (depth == 0)
        return;
    for (const std::shared_ptr<TSprite>& child : GetChildren())
        if (child->IsKindOf(ClassId()))
            static_cast<TAnimatedSprite*>(child.get())->Pause(pause, depth - 1);
}

bool TAnimatedSprite::IsPlaying(int depth)
{
    if (mData->mThread && mData->mThread->CoroutineActive())
        return true;
    if (depth == 0)
        return false;
    for (const std::shared_ptr<TSprite>& child : GetChildren())
        if (child->IsKindOf(ClassId()) && static_cast<TAnimatedSprite*>(child.get())->IsPlaying(depth - 1))
            return true;
    return false;
}

void TAnimatedSprite::Die()
{
    mData->ResetThread();
    mData->RetireScript();
}

void TAnimatedSprite::RemoveSprite()
{
    TSprite* parent = GetParent();
    if (!parent) {
        WriteDbg("TAnimatedSprite::RemoveSprite: the sprite has no parent");
        return;
    }
    std::shared_ptr<TSprite> self = weak_from_this().lock();
    if (self)
        parent->RemoveChild(self);
}
