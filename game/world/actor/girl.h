#pragma once
// Every character and scripted prop standing in a scene: the heroine, the other characters and
// clickable objects. An actor stands on the scene's ground mesh, faces one of eight
// directions, shows a still image or an animation chosen from its motion and facing, may carry
// a particle effect and a zone mesh, speaks in floating text and runs one Lua coroutine of its
// own. Scenes create, own, update and draw actors.
//   tGirl* mira = scene.Spawn(specOnStack, {400, 500});
//   mira->WalkToXY({700, 480});
//
// The members are defined by concern: graphics and animation (girl_graphics.cpp), movement,
// facing and clicks (girl_movement.cpp), scripts (girl_script.cpp) and their Lua methods
// (girl_lua.cpp), speech and choices (girl_speech.cpp), the particle effect (girl_party.cpp).

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/script/df_lua.h"
#include "core/text/str.h"
#include "game/script/class_info.h"
#include "game/script/script_enums.h"
#include "game/world/actor/anim_names.h"
#include "game/world/geometry/vector2.h"
#include "game/world/text/text_spec.h"

#include <cmath>
#include <cstdint>
#include <memory>

class tScene;
class tMesh;
class TSprite;
class TAnimatedSprite;
class TTextGraphic;
class TLuaParticleSystem;
class TPartySprite;
struct TPoint;

class tGirl : public baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory();
    // A new actor with its Lua object (a table of this class) made on `lua`.
    static tGirl* SuperFactory(dfLua& lua);
    // Binds the actor's script methods onto its class table.
    static void LuaAdd(dfLua& lua);
    // The scene's depth order: larger depth value first; a missing actor counts as depth 0.
    static bool sortobject(const tGirl* a, const tGirl* b);

    tGirl();
    ~tGirl() override;

    // ---- identity and lifetime ----------------------------------------------------------
    const str& GetName() const { return mName; }
    void SetName(const str& name) { mName = name; }
    tScene* GetScene() const { return mScene; }
    void SetScene(tScene* scene) { mScene = scene; }
    void Expire() { mExpired = true; }
    bool IsExpired() const { return mExpired; }
    // Drops the Lua object binding and closes the script state.
    void DumpState();

    void AddFlag(uint32_t flag);
    void ClearFlag(uint32_t flag);
    bool TestFlag(uint32_t flag);
    uint32_t GetFlags() const { return mFlags; }

    // ---- graphics and animation (girl_graphics.cpp) ---------------------------------------
    virtual void Draw();
    void LoadImage(const str& name);
    void RegisterAnimFile(const str& file);
    // The value on top of the stack: one file name or an array of them (popped).
    void RegisterAnimFileFromLua(dfLua& lua);
    void UnregisterAnimFile(const str& file);
    void SelectAnimFile(const str& file);
    bool HasAnimNames() const { return !mAnimNames.GetNames().empty(); }
    // Makes the animated sprite (no animation selected yet) when the actor has none.
    void CreateAnimatedSprite();
    bool PlayAnim(const str& name);
    bool PlayAnim_LL(const str& name);
    static bool TestAnim(TAnimatedSprite* sprite, const str& name);
    static bool SafePlayAnim(TAnimatedSprite* sprite, const str& name);
    void SetAppropriateAnim();
    bool HasGraphics() const;
    tVector2<float> GetImageSize() const;
    void SetScale(float scale);
    void SetScaleX(float scale) { mScaleX = scale; }
    void SetScaleY(float scale) { mScaleY = scale; }
    void SetAlpha(float alpha) { mAlpha = alpha; }
    void SetTint(const TColor& tint) { mTint = tint; }
    void SetHotSpot(const tVector2<float>& hotspot) { mHotspot = hotspot; }
    const tVector2<float>& GetHotSpot() const { return mHotspot; }
    float GetBGScale() const;
    tVector2<float> GetEffectiveScale() const;
    void SetDepthMode(int mode);
    int GetDepthMode() const { return mDepthMode; }
    void SetDepthValue(int value);
    int GetDepthValue() const { return mDepthValue; }
    std::shared_ptr<TSprite> GetSceneSpriteHolder() const;
    void UpdateImage();
    void AssignZone(tMesh* zone);
    void DumpZone();
    void LoadZone(const str& name);
    // Gives the zone its place around the actor: offset -hotspot, the effective scale.
    void PlaceZone() const;
    tMesh* GetZone() const { return mZone.get(); }
    TAnimatedSprite* GetAnimatedSprite() const { return mAnimSprite.get(); }
    TSprite* GetImageSprite() const { return mImageSprite.get(); }
    bool IsXFlipped() const { return mXFlipped; }

    // ---- movement, facing and clicks (girl_movement.cpp) ----------------------------------
    void Update();
    void SetFinalTarget(const tVector2<float>& point, const str& name);
    void ComputePathToTarget();
    void WalkToTarget();
    void UpdateFacing();
    void MoveAndCollide();
    void WalkToXY(const tVector2<float>& point);
    void StopWalking();
    // The point of the ground nearest `point` that the actor can walk to.
    tVector2<float> ReachablePoint(const tVector2<float>& point) const;
    void JumpToPoint(const tVector2<float>& point);
    void JumpToNamedPoint(const str& label);
    void SetPosition(const tVector2<float>& point) { mPosition = point; }
    void SetPositionXY(float x, float y) { mPosition = {x, y}; }
    tVector2<float> GetPosition() const { return mPosition; }
    const tVector2<float>& GetFinalTarget() const { return mFinalTarget; }
    const str& GetTargetName() const { return mTargetName; }
    bool AtTarget() const;
    void SetDesiredFacing(int dir);
    void SetDesiredAngle(float angle);
    void SetFacingImmediate(int dir);
    void SetFacingByActor(tGirl* other);
    DIR GetFacing() const { return mFacing; }
    float GetAngle() const { return mAngle; }
    void SetMode(int mode) { mMode = MODE(mode); }
    int GetMode() const { return mMode; }
    MOTION GetMotion() const { return mMotion; }
    void SetWalkSpeed(float speed);
    float GetWalkSpeed() const;
    tVector2<float> GetZoneWalkToPoint() const;
    bool HasZoneWalkToPoint(tVector2<float>* point) const;
    bool GetZonePoint(const str& label, tVector2<float>* point) const;
    // The label of the ground polygon under the actor; false when there is none.
    bool GetPolyName(str* name) const;
    int GetCurrentPoly() const { return mCurrentPoly; }
    tVector2<float> GetScreenPosition() const;
    // A click is noted (waits for a click end on it), then judged: only in FOLLOWCLICKS mode
    // does it act. 0 not handled, 1 an actor, 2 the ground, 3 the edge of the ground.
    void NoteClick() { mClicked = true; }
    int JudgeClick(const TPoint& point);
    // The heroine's click that found her without control is counted.
    void CountInactiveClick() const;
    void OnMouseMove(const TPoint& point);
    static int CallOnClick(tGirl* clicker, tGirl* clicked);
    void CallPointAtFn(bool on);
    bool WasClicked() const { return mClicked; }
    void SetPointAtCursor(const str& name, const tVector2<float>& point);
    const str& GetPointAtCursor() const { return mPointAtCursor; }

    // ---- scripts (girl_script.cpp, girl_lua.cpp) --------------------------------------------
    lua_State* GenerateThread();
    dfLua& GetScriptState() { return mScript; }
    int lf_StartProc(dfLua& lua);
    void RunScript(int reason);
    void ResumeHelper(int nargs);
    int IsTimeToRunScript();
    // Resumes the script when one of its waits holds.
    void RunScriptIfDue();
    void Signal();
    bool IsWaitingFor(int resume) const { return resume >= 0 && resume < 32 && (mWaitMask >> resume) & 1u; }
    bool IsRunningScript() const { return mRunningScript; }
    int lf_WalkTo(dfLua& lua);
    int lf_Spawn(dfLua& lua);
    // Forgets another actor that is going away (names it watches stay: they are looked up).
    void ForgetActor(const tGirl* other);
    // "FaceActor"(actor) and "GetPolyName"() as scripts call them.
    int lf_FaceActor(dfLua& lua);
    int lf_GetPolyName(dfLua& lua);

    // ---- speech and choices (girl_speech.cpp) ---------------------------------------------
    void SayRawEx(const str& text, int duration, bool background);
    void SayRaw(const str& text, int duration) { SayRawEx(text, duration, false); }
    void SayRawBG(const str& text, int duration) { SayRawEx(text, duration, true); }
    void SayID(const str& id, int duration);
    void UpdateText();
    void StopTalk();
    void StopMouth();
    void SetSaySpec(const tTextSpec& spec);
    int ModifySaySpec(dfLua& lua);
    int OfferChoices(dfLua& lua);
    void DrawTextA();
    // The speech box on the screen; `text` gets the rectangle the text itself covers.
    TRect PlaceSpeech(TRect* text) const;
    bool HasText() const { return mText != nullptr; }
    TTextGraphic* GetText() const { return mText.get(); }
    const tTextSpec& GetSaySpec() const { return mSaySpec; }
    // The say spec an actor starts with: a 400 x 160 box centred above its feet.
    static tTextSpec DefaultActorSaySpec();
    // Whether the scene shows this actor's speech in its own text area.
    bool IsConversationActor() const;

    // ---- particle effect (girl_party.cpp) ---------------------------------------------------
    void LoadPartyDepth(const str& file, int depth);
    void LoadParty(const str& file) { LoadPartyDepth(file, 0); }
    void DumpParty();
    bool IsPartyDone() const;
    void UpdateParty(int ms);
    void DrawParty();
    bool HasParty() const { return mParty != nullptr; }
    int GetPartyDepth() const { return mPartyDepth; }
    void SetPartyOffset(const tVector2<float>& offset) { mPartyOffset = offset; }
    tVector2<float> GetPartyOffset() const { return mPartyOffset; }

protected:
    // ---- state (the actor's fields; each concern adds its own below in its own block) ----
    bool mExpired = false;
    bool mClicked = false;
    bool mEnteredNewPoly = false;
    uint32_t mWaitMask = 0;
    int mResumeTick = 0;
    int mTickCount = 0;
    int mTextEndTick = 0;
    MODE mMode = MODE_NONE;
    tVector2<float> mPosition{0, 0};
    tVector2<float> mStep{0, 0};
    tVector2<float> mImmediateTarget{0, 0};
    tVector2<float> mFinalTarget{0, 0};
    bool mFinalTargetWasOutside = false;
    bool mBackgroundSpeech = false;
    str mTargetName;
    str mOtherActorName;
    uint32_t mNextTurnTime = 0;
    DIR mDesiredFacing = DIR_S;
    DIR mFacing = DIR_S;
    float mAngle = float(M_PI / 2);
    tScene* mScene = nullptr;
    tVector2<float> mHotspot{0, 0};
    float mScaleX = 1, mScaleY = 1;
    float mAlpha = 1;
    TColor mTint{1, 1, 1, 1};
    int mDepthValue = 600;
    std::shared_ptr<TSprite> mImageSprite;
    bool mXFlipped = false;
    tAnimNames mAnimNames;
    std::shared_ptr<TAnimatedSprite> mAnimSprite;
    str mCurrentAnimFile;
    dfLua mScript;
    std::unique_ptr<TTextGraphic> mText;
    TRect mTextBounds{0, 0, 0, 0};
    str mName;
    int mCurrentPoly = -1;
    int mDepthMode = DEPTH_FIXED;
    std::unique_ptr<tMesh> mZone;
    str mPointAtCursor;
    tVector2<float> mPointAtHotspot{0, 0};
    uint32_t mFlags = 0;
    tTextSpec mSaySpec = DefaultActorSaySpec();
    bool mRunningScript = false;
    MOTION mMotion = MOTION_SPECIAL;
    float mWalkSpeed = 1;
    std::shared_ptr<TPartySprite> mPartySprite;
    std::unique_ptr<TLuaParticleSystem> mParty;
    int mPartyDepth = 0;
    tVector2<float> mPartyOffset{0, 0};

    // ---- graphics and animation: own fields ----
    // LoadImage without looking after the effect's sprite.
    void LoadImageSprite(const str& name);

    // ---- movement: own fields ----
    // On reaching a named target: its on_arrive, or with an item in hand the on_use_inv handlers.
    void ArriveAtTarget();
    // A colliding walker standing on an actor that causes collisions runs its on_collide.
    void CollideWithActors();

    // ---- scripts: own fields ----
    // Makes `thread` (or none) the actor's script state.
    void AssignScriptThread(lua_State* thread);
    // The coroutine ResumeHelper is running, if any.
    lua_State* mResumingThread = nullptr;

    // ---- speech: own fields ----

    // ---- particle effect: own fields ----
    // Hangs the effect's sprite under the actor's current image or animated sprite (or the
    // scene's holder), so that replacing those sprites never leaves it undrawn; false when
    // there is nothing to hang it in.
    bool HangPartySprite();
};
