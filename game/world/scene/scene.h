#pragma once
// One painted location of the game: background planes and atlases, a light map, the ground
// mesh, the actors, a Lua state running the scene's script, and its own string table. One
// scene object lives for the whole run (TheScene) and is reloaded on every scene change; a
// second one shows a sub-scene over it. Scripts never change scenes at once: they queue a
// request that the next Update carries out.
//   TheScene() = new tScene;
//   TheScene()->LoadSceneByName("cottage", false);
//   each frame: ActiveScene()->Update(); ActiveScene()->UpdateMouseCursor(); ...Draw();
//
// The members are defined by concern: loading (scene_load.cpp), the script interface
// (scene_lua.cpp), update, requests and input (scene_update.cpp), camera, drawing and the
// floating name (scene_draw.cpp).

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/script/df_lua.h"
#include "core/text/str.h"
#include "game/script/class_info.h"
#include "game/script/df_result.h"
#include "game/script/script_enums.h"
#include "game/world/geometry/vector2.h"
#include "game/world/mesh/mesh.h"
#include "game/world/planes/bg_plane.h"
#include "game/world/scene/choice_handler.h"
#include "game/world/strings/scene_strings.h"
#include "game/world/text/text_spec.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class tGirl;
class TSprite;
class TAnimatedSprite;
class TAnimatedTexture;
class TTexture;
class TScript;
class TTextGraphic;
class TFlashHost;
struct TPoint;

class tScene : public baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory();
    // Binds the scene's script methods onto its class table.
    static void LuaAdd(dfLua& lua);

    struct tPopupDef
    {
        str image, title, body;
    };

    tScene();
    ~tScene() override;

    // ---- loading (scene_load.cpp) ---------------------------------------------------------
    bool LoadSceneByName(const str& name, bool flag);
    const str& GetSceneName() const { return mSceneName; }
    str ComputeAssetName(const str& name) const;
    void SetAssetPath(const str& path);
    const str& GetAssetPath() const { return mAssetFolder; }
    int LoadAtlas(const str& name);
    bool AddBGImage(const str& name, int depth, int blend);
    // Always succeeds: a missing image leaves the scene without a light map.
    DFRES LoadLightmap(const str& name);
    TColor32 GetLightmapPixel(const tVector2<float>& point) const;
    DFRES LoadGround(const str& name);
    DFRES LoadVerts(const str& name);
    DFRES LoadMesh(const str& name);
    // The spec table is on the top of `spec`'s stack, and stays there.
    tGirl* Spawn(dfLua& spec, const tVector2<float>& position);
    int BareSpawn(dfLua& lua);
    bool HasAtlasTexture(const str& name) const;
    bool AssignAtlasTexture(const std::shared_ptr<TAnimatedSprite>& sprite, const str& name);
    void ReloadTextures();
    // Drops the scene's Lua object, then closes its Lua state and script context (unloading
    // does this after the actors are gone; loading makes a fresh context after it).
    void CloseScriptContext();
    // The script forms that take a table, an actor handle or the raw stack (scene_lua.cpp).
    int lf_ConversationMode(dfLua& lua);
    int lf_SetCameraFollowActor(dfLua& lua);
    int lf_ModifySaySpec(dfLua& lua);
    int lf_grabstring(lua_State* L);
    int lf_grabformattedstring(lua_State* L);
    int lf_grabspeechline(lua_State* L);
    void lf_AdjustBGVoxAlpha(float alpha) { AdjustBGVoxAlpha(alpha); }
    tMesh& GetGround() { return mGround; }
    const TRect& GetSceneBounds() const { return mSceneBounds; }
    tSceneStrings& Strings() { return mStrings; }
    str grabstring(const str& key) { return mStrings.grabstring(key); }
    str localisestring(const str& key) { return mStrings.localisestring(key); }
    // The scene's Lua state (null before the first load).
    dfLua& GetLua() { return mLua; }
    const std::vector<std::unique_ptr<tGirl>>& GetActors() const { return mActors; }
    // Sprite holders: over the interface, on the screen, in the world (camera-offset).
    const std::shared_ptr<TSprite>& GetOverHudHolder() const { return mOverHudHolder; }
    const std::shared_ptr<TSprite>& GetScreenHolder() const { return mScreenHolder; }
    const std::shared_ptr<TSprite>& GetWorldHolder() const { return mWorldHolder; }

    // ---- update, requests and input (scene_update.cpp) ------------------------------------
    void Update();
    void UpdateMouseCursor();
    bool OnMouseDown(const TPoint& point);
    bool OnMouseMove(const TPoint& point);
    void ChainTo(const str& name);
    void ChainToSubScene(const str& name);
    void DoPopup(const str& image, const str& title, const str& body);
    void GameOver();
    void ReturnFromScene();
    bool IsReturnRequested() const { return mReturnRequested; }
    void StartFlash(const str& path);
    void DumpFlash();
    tGirl* GetActorByName(const char* name) const;
    tGirl* GetActorByName(const str& name) const;
    void DepthSortActors();
    void DepthSortNeeded() { mDepthSortNeeded = true; }
    void DumpActors();
    bool InFollowClicksMode() const;
    bool AnyWaitingForClick() const;
    tGirl* CheckWorldPoint(const tVector2<float>& point) const;
    // Whether `actor` is one of this scene's live actors (script handles are checked with it).
    bool HasActor(const tGirl* actor) const;
    void SetConversationMode(bool on, tGirl* partner);
    bool IsConversationMode() const { return mConversationMode; }
    tGirl* GetConversationPartner() const { return mConversationPartner; }
    void ChoiceClicked();
    bool IsChoiceDone() const { return mChoices.IsChoiceDone(); }
    bool IsBGConversationAborted() const;
    void AbortBGConversation(bool aborted);
    void CreateChoiceText(const std::vector<str>& choices) { mChoices.CreateChoiceText(choices); }
    void DumpChoiceText() { mChoices.DumpChoiceText(); }
    void InitializeChoiceText() { mChoices.InitializeChoiceText(); }
    tChoiceHandler& GetChoiceHandler() { return mChoices; }
    void SetMode(int mode) { mMode = MODE(mode); }
    int GetMode() const { return mMode; }
    tVector2<float> GetClickedAtWorld() const { return mClickedAtWorld; }
    tVector2<float> GetClickedAtScreen() const { return mClickedAtScreen; }
    bool HasSubScene() const;
    void DumpScene();
    // The scene keeps no named zones and shows no additions of its own: both do nothing.
    void DoInvAdd(const str&, int) {}
    void ZapZone(const char*) {}
    static void AdjustBGVoxAlpha(float alpha);

    // ---- camera, drawing and the floating name (scene_draw.cpp) ---------------------------
    void SetCameraPosition(const tVector2<float>& position);
    tVector2<float> GetCameraPosition() const { return mCamera; }
    void SetCameraMargin(const tVector2<float>& margin) { mCameraMargin = margin; }
    tVector2<float> GetCameraMargin() const { return mCameraMargin; }
    void SetCameraFollowActor(tGirl* actor) { mCameraActor = actor; }
    tGirl* GetCameraActor() const { return mCameraActor; }
    void SetScreenSize(const tVector2<float>& size) { mScreenSize = size; }
    void SetScreenPosition(const tVector2<float>& position) { mScreenPosition = position; }
    tVector2<float> GetScreenSize() const { return mScreenSize; }
    tVector2<float> GetScreenPosition() const { return mScreenPosition; }
    // What the scene shows, in the coordinates it is drawn in (its window's own).
    TRect GetVisibleArea() const { return TRect(0, 0, int(mScreenSize.x), int(mScreenSize.y)); }
    tVector2<float> WorldFromScreen(const TPoint& point) const;
    tVector2<float> ScreenFromWorld(const tVector2<float>& point) const;
    void SetFadeColor(const TColor& color) { mFadeColor = color; }
    void SetFadeTarget(const TColor& color) { mFadeTarget = color; }
    void SetFadeSpeed(float speed) { mFadeSpeed = speed; }
    void SetFadeOverHud(bool over) { mFadeOverHud = over; }
    bool IsFadeDone() const;
    void SetMusicVolumeCurrent(float volume) { mMusicVolume = volume; }
    void SetMusicVolumeTarget(float volume) { mMusicVolumeTarget = volume; }
    void SetMusicVolumeSpeed(float speed) { mMusicVolumeSpeed = speed; }
    bool IsMusicVolumeFadeDone() const { return mMusicVolume == mMusicVolumeTarget; }
    float GetMusicVolume() const { return mMusicVolume; }
    void SetRoomScale(float nearY, float farY, float nearScale, float farScale);
    float ComputeRoomScale(float y) const;
    void SetTextBounds(const TRect& bounds) { mTextBounds = bounds; }
    void SetTextBoundsXY(int x, int y);
    const TRect& GetTextBounds() const { return mTextBounds; }
    void SetSaySpec(const tTextSpec& spec);
    void ModifySaySpec(dfLua& lua, int index);
    const tTextSpec& GetSaySpec() const { return mSaySpec; }
    void Draw();
    void DrawOverHud();
    void DrawFade();
    void UpdateFade();
    void UpdateVolume();
    void GenerateFloatText(const TPoint& point);
    void AssignFloatText(const str& text, const TPoint& point, const TColor* fill, const TColor* outline);
    void PositionFloatText(const TPoint& point);
    void ExternalDumpFloatText();
    // Drops the floating name once the pointer is no longer over the scene: over the interface
    // or outside the window the scene hears of no move that would take it away.
    void DumpFloatTextOffScene();
    tGirl* GetPointedActor() const { return mPointedActor; }

protected:
    // ---- loading: fields ----
    // The textures of the planes, atlases and actors on show.
    std::vector<std::shared_ptr<TTexture>> PicturesShown() const;
    void ReadSceneSpec(dfLuaTable& spec);
    void ReadBGImages(dfLuaTable& images);
    // The scene's Lua object (the global "scene") with the ground's object as its "mesh".
    void CreateSceneLuaObjects();
    void SpawnActorList(dfLuaTable& spec, const str& scriptPath);
    void ReadHotSpot(tGirl& actor, dfLuaTable& actorSpec);
    // Stores the actor's object in the scene's table under its name, unless the name is the
    // scene's own ("this", "mesh", a method).
    void StoreActorObject(dfLua& lua, tGirl& actor);
    int ActorCount() const;
    str mSceneName;
    str mAssetFolder;
    tSceneStrings mStrings;
    tMesh mGround;
    std::vector<std::unique_ptr<tGirl>> mActors;  // removed actors leave an empty slot
    std::vector<tBGPlane> mPlanes;
    std::vector<std::shared_ptr<TAnimatedTexture>> mAtlases;
    std::shared_ptr<TSprite> mOverHudHolder;
    std::shared_ptr<TSprite> mScreenHolder;
    std::shared_ptr<TSprite> mWorldHolder;
    std::unique_ptr<TScript> mScript;
    dfLua mLua;
    TRect mSceneBounds{0, 0, 0, 0};
    tVector2<float> mScreenSize{800, 600};
    tVector2<float> mScreenPosition{0, 0};
    std::vector<TColor32> mLightmap;
    int mLightmapWidth = 0, mLightmapHeight = 0;

    // ---- update and input: fields ----
    tChoiceHandler mChoices;
    bool mPopupPending = false;
    tPopupDef mPopup;
    str mChainTo;
    str mChainToSubScene;
    std::unique_ptr<TFlashHost> mFlash;
    bool mConversationMode = false;
    tGirl* mConversationPartner = nullptr;
    bool mBGConversationAborted = false;
    bool mGameOver = false;
    MODE mMode = MODE_NONE;
    tVector2<float> mClickedAtWorld{0, 0};
    tVector2<float> mClickedAtScreen{0, 0};
    bool mDepthSortNeeded = true;
    bool mReturnRequested = false;
    // Cheat mode's path probe: the mouse in the world and the ground point nearest to it.
    tVector2<float> mProbePoint{0, 0};
    tVector2<float> mProbeGround{0, 0};
    // A click made while nobody had control but a wait had already ended, with the actors on
    // the screen then; the next update judges it (scene_input.cpp).
    struct tHeldClick
    {
        tVector2<float> world;
        std::vector<tGirl*> seen;
    };
    std::optional<tHeldClick> mHeldClick;
    // The requests, the actors' updates; false when the update stopped before the actors.
    bool UpdateRequestsAndActors();
    // The live actors in the order they take a click.
    std::vector<tGirl*> ActorsInClickOrder() const;
    void GiveClick(const TPoint& point, const std::vector<tGirl*>& actors);
    void JudgeHeldClick(const tHeldClick& click, bool actorsWentOn);
    void DropHeldClick();
    // A scene change, sub-scene, popup, end of the game or web content waits for the next update.
    bool AnyRequestPending() const;
    // Deletes an actor, leaving its slot empty, after every reference to it is cleared.
    void RemoveActor(tGirl* actor);
    // Takes the actor's entry out of the scene's Lua object when the entry is that actor's.
    void ForgetActorName(tGirl& actor);
    void DumpGroundLuaObj();

    // ---- camera and drawing: fields ----
    tGirl* mCameraActor = nullptr;
    tGirl* mPointedActor = nullptr;
    // The window that held the mouse at the scene's last mouse move (only compared).
    const void* mMouseWindow = nullptr;
    tVector2<float> mCamera{0, 0};
    tVector2<float> mCameraMargin{140, 140};
    float mRoomNearY = 0, mRoomFarY = 600, mRoomNearScale = 1, mRoomFarScale = 1;
    std::unique_ptr<TTextGraphic> mFloatText;
    TRect mFloatTextBox{0, 0, 0, 0};
    TRect mTextBounds{10, 10, 790, 590};
    tTextSpec mSaySpec;
    TColor mFadeColor{0, 0, 0, 1};
    TColor mFadeTarget{0, 0, 0, 0};
    float mFadeSpeed = 0.025f;
    bool mFadeOverHud = false;
    float mMusicVolume = 1, mMusicVolumeTarget = 1, mMusicVolumeSpeed = 1;
    void DrawProbe() const;
};

// The main scene, the sub-scene shown over it (or null), and whichever of them is active.
tScene*& TheScene();
tScene*& SubScene();
tScene* ActiveScene();
// The opacity of background conversation text.
float GetBGVoxAlpha();
// True while an inventory item is in use.
bool InUseMode();
// Plays the click sound of a click result (1 actor, 2 ground, 3 edge).
void GenerateClickSound(int kind);
// Fills the game's Lua environment into a fresh scene (or particle, or animation) state.
void PrepareLuaEnvironment(dfLua& lua);
// Re-runs a script that failed, to report its precise error.
void ValidateLua(dfLua& lua, const str& path);
