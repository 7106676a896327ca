#include "game/world/actor/girl.h"

#include "game/world/actor/object_lua.h"
#include "game/world/mesh/mesh_lua.h"

#include <lua.h>

void tGirl::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tGirl::GetPartyOffset, "GetPartyOffset");
    lua.setmethod(&tGirl::SetPartyOffset, "SetPartyOffset");
    lua.setmethod(&tGirl::LoadParty, "LoadParty");
    lua.setmethod(&tGirl::LoadPartyDepth, "LoadPartyDepth");
    lua.setmethod(&tGirl::DumpParty, "DumpParty");
    lua.setmethod(&tGirl::IsPartyDone, "IsPartyDone");
    lua.setmethod(&tGirl::SetWalkSpeed, "SetWalkSpeed");
    lua.setmethod(&tGirl::GetWalkSpeed, "GetWalkSpeed");
    lua.setmethod(&tGirl::SetTint, "SetTint");
    lua.setmethod(&tGirl::SetAlpha, "SetAlpha");
    lua.setmethod(&tGirl::SetScale, "SetScale");
    lua.setmethod(&tGirl::SetScaleX, "SetScaleX");
    lua.setmethod(&tGirl::SetScaleY, "SetScaleY");
    lua.setmethod(&tGirl::LoadImage, "LoadImage");
    lua.setmethod(&tGirl::HasGraphics, "HasGraphics");
    lua.setmethod(&tGirl::GetImageSize, "GetImageSize");
    lua.setmethod(&tGirl::RegisterAnimFile, "LoadAnimFile");
    lua.setmethod(&tGirl::UnregisterAnimFile, "DumpAnimFile");
    lua.setmethod(&tGirl::PlayAnim_LL, "PlayAnim_LL");
    lua.setmethod(&tGirl::PlayAnim, "PlayAnim");
    lua.setmethod(&tGirl::SetMode, "SetMode");
    lua.setmethod(&tGirl::GetMode, "GetMode");
    lua.setmethod(&tGirl::Signal, "Signal");
    lua.setmethod(&tGirl::Expire, "Expire");
    lua.setmethod(&tGirl::AddFlag, "AddFlag");
    lua.setmethod(&tGirl::ClearFlag, "ClearFlag");
    lua.setmethod(&tGirl::TestFlag, "TestFlag");
    lua.setmethod(&tGirl::LoadZone, "LoadZone");
    lua.setmethod(&tGirl::DumpZone, "DumpZone");
    lua.setmethod(&tGirl::GetZoneWalkToPoint, "GetZoneWalkToPoint");
    lua.setmethod(&tGirl::SetPointAtCursor, "SetPointAtCursor");
    lua.setmethod(&tGirl::AtTarget, "AtTarget");
    lua.setmethod(&tGirl::SetDesiredFacing, "Face");
    lua.setmethod(&tGirl::SetFacingImmediate, "FaceNow");
    lua.setmethod(&tGirl::lf_FaceActor, "FaceActor");
    lua.setmethod(&tGirl::SetDesiredAngle, "SetDesiredAngle");
    lua.setmethod(&tGirl::SetDepthMode, "SetDepthMode");
    lua.setmethod(&tGirl::SetDepthValue, "SetDepthValue");
    lua.setmethod(&tGirl::GetPosition, "GetPosition");
    lua.setmethod(&tGirl::SetPositionXY, "SetPositionXY");
    lua.setmethod(&tGirl::SetPosition, "SetPosition");
    lua.setmethod(&tGirl::JumpToNamedPoint, "JumpToNamedPoint");
    lua.setmethod(&tGirl::JumpToPoint, "JumpToPoint");
    lua.setmethod(&tGirl::lf_GetPolyName, "GetPolyName");
    lua.setmethod(&tGirl::lf_WalkTo, "WalkTo");
    lua.setmethod(&tGirl::StopWalking, "StopWalking");
    lua.setmethod(&tGirl::WalkToXY, "WalkToXY");
    lua.setmethod(&tGirl::lf_Spawn, "Spawn");
    lua.setmethod(&tGirl::lf_StartProc, "StartProc");
    lua.setmethod(&tGirl::SetSaySpec, "SetSaySpec");
    lua.setmethod(&tGirl::ModifySaySpec, "ModifySaySpec");
    lua.setmethod(&tGirl::StopMouth, "StopMouth");
    lua.setmethod(&tGirl::SayID, "Say");
    lua.setmethod(&tGirl::SayRawEx, "SayRawEx");
    lua.setmethod(&tGirl::SayRaw, "SayRaw");
    lua.setmethod(&tGirl::SayRawBG, "SayRawBG");
    lua.setmethod(&tGirl::OfferChoices, "OfferChoices");
    lua.setmethod(&tGirl::WasClicked, "WasClicked");
    lua.setmethod(&tGirl::GetBGScale, "GetBGScale");
}

int tGirl::lf_FaceActor(dfLua& lua)
{
    // Only a live actor of this scene is followed; SetFacingByActor reports a missing one.
    SetFacingByActor(GetSceneActor(mScene, lua, 2));
    return 0;
}

int tGirl::lf_GetPolyName(dfLua& lua)
{
    str name;
    if (GetPolyName(&name))
        Put(lua, name);
    else
        lua_pushnil(lua.GetState());
    return 1;
}
