#include "ui/script/screen_init_library.h"

#include <cstring>

namespace {

const char kSource[] = R"LUA(
kGeneric = 0
kCloseWindow = 1
kDefaultAction = 2
kButtonPress = 3
kPressAnyKey = 4
kQuitNow = 5
kModalClosed = 6
kTextEditChanged = 7
kCommandOnly = 8
kSliderValChanged = 9
kSliderMouseUp = 10
kSliderPageUp = 11
kSliderPageDown = 12
kUserMessageBase = 1000

kHAlignLeft = 0
kHAlignCenter = 1
kHAlignRight = 2
kVAlignTop = 0
kVAlignCenter = 4
kVAlignBottom = 8
kCenter = 80000
kMax = 160000
kPush = 0
kToggle = 1
kRadio = 2
kDefault = 128
kPushButtonAlignment = kHAlignCenter + kVAlignCenter
kRadioButtonAlignment = kHAlignLeft + kVAlignCenter
kToggleButtonAlignment = kHAlignCenter + kVAlignCenter
kAllLayers = -1

kCmdLine = "cmdline"
kLevel = "level"
kSubLevel = "sublevel"
kPause = "pause"
kMute = "mute"
kBreakNow = "breaknow"
kScore = "score"
kGameMode = "gamemode"
kGameOver = "gameover"
kSystemMode = "systemmode"
kMaxLevel = "maxlevel"
kCheatMode = "cheatmode"
kComputerId = "computerid"
kGameName = "gamename"
kGameVersion = "version"
kEncryptionKey = "encryptionkey"
kHiscoreLocalOnly = "hiscorelocal"
kHiscoreAnonymous = "hiscoreanon"

LUA_PATH = "?;../?;../../?"
gReturnValue = nil
idtable = {}
gParent = {}
gCurrentDefaultStyle = {}
gCurID = 100
gBeginGroup = 0
gMessageQueue = {}
gCommandQueue = {}
gClosedWindows = {}
gDialogTable = {}

-- Style chains deeper than this are taken for a loop.
local kMaxStyleDepth = 64

function Color(r, g, b, a)
  if a == nil then a = 255 end
  return { r / 255, g / 255, b / 255, a / 255 }
end

function FColor(r, g, b, a)
  if a == nil then a = 1 end
  return { r, g, b, a }
end

function Push(window)
  table.insert(gParent, 1, window)
end

function Pop()
  table.remove(gParent, 1)
end

function DoWindow(window)
  window.beginGroup = gBeginGroup
  gBeginGroup = 0
  GenericCreate(window)
  MakeDialog(window)
  PopWindow()
end

function DoDialogCommand(i, cmd)
  cmd()
end

function MakeDialog(t)
  local saved = gCurrentDefaultStyle
  if type(t.name) == "string" and t.name ~= "" then
    SetWindowName(t.name)
  end
  for i = 1, table.getn(t) do
    local cmd = t[i]
    if type(cmd) == "function" then
      DoDialogCommand(i, cmd)
    else
      DebugOut("MakeDialog: entry " .. i .. " is not a command")
    end
  end
  typename = t.typename
  gCurrentDefaultStyle = saved
  if typename then
    PostCreate(t, typename)
  end
end

function Creating(type, t)
end

function SetBeginGroup(style)
  gBeginGroup = 1
end

function BeginGroup()
  return function() SetBeginGroup() end
end

function GetTag(tab, tag, traverse)
  if not traverse then
    if type(tab) == "table" and tab[tag] ~= nil then return tab[tag] end
    return GetTag(gCurrentDefaultStyle, tag, true)
  end
  local depth = 0
  while type(tab) == "table" and depth < kMaxStyleDepth do
    if tab[tag] ~= nil then return tab[tag] end
    tab = tab.parent
    depth = depth + 1
  end
  return nil
end

function SetDefaultStyle(style)
  gCurrentDefaultStyle = style
end

function SetStyle(style)
  return function() SetDefaultStyle(style) end
end

function AppendStyle(style)
  return function()
    -- A style never becomes its own parent.
    if style ~= gCurrentDefaultStyle then
      style.parent = gCurrentDefaultStyle
    end
    SetDefaultStyle(style)
  end
end

function SetFocus(name)
  RealSetFocus(name)
end

function SetDefault(default)
  return function() end
end

function DistributeX(n)
  local t = {}
  for i = 1, n do t[i] = i / (n + 1) * gDialogWidth end
  return t
end

function DistributeY(n)
  local t = {}
  for i = 1, n do t[i] = i / (n + 1) * gDialogHeight end
  return t
end

function WaitForCloseMessage(id)
  while true do
    local msg = WaitForMessage()
    if msg then
      gLastMessage = msg
      if msg.type == kModalClosed then
        if msg.name == id then return end
        gClosedWindows[msg.name] = true
      end
    end
    if gClosedWindows[id] then
      gClosedWindows[id] = nil
      return
    end
  end
end

-- Reads a layout into the modal window pushed for it. One that makes no window there (blank,
-- comments only) fails as a file that does not open would: it would leave a blank screen on
-- top that answers no key or click.
function ReadLayout(file)
  ReadFile(file)
  if not _TopModalHoldsWindows() then
    error("assets/" .. file .. " makes no window", 0)
  end
end

-- A screen whose script fails is taken down again and reported, and the caller goes on where
-- it was: a half-built screen on top would take every click, and whatever the caller does
-- after the screen (ends a pause, say) would never run.
function ReadScreen(id, file)
  local ok, message = pcall(ReadLayout, file)
  if ok then return true end
  PopModal(id)
  _ALERT("Screen script " .. file .. " failed: " .. tostring(message))
  if GlobalLuaError then GlobalLuaError(file, tostring(message)) end
  return false
end

function DoModal(file)
  local id = PushModal(file)
  if not ReadScreen(id, file) then return nil end
  DoFitToChildren()
  WaitForCloseMessage(id)
  local result = gReturnValue
  gReturnValue = nil
  return result
end

function DoMainWindow(file)
  PushModal(file)
  local depth = GetWindowDepth()
  ReadLayout(file)
  DoFitToChildren()
  while GetWindowDepth() >= depth do
    gLastMessage = WaitForMessage()
  end
end

function ModalReturn(value)
  gReturnValue = value
end

function DisplaySplash(movie, graphic, time)
  local id = PushModal("DisplaySplash")
  local translate = GetTag(gCurrentDefaultStyle, "translate", true) or false
  local allowInput = GetTag(gCurrentDefaultStyle, "allowInput", true) or false
  local disableAbort = GetTag(gCurrentDefaultStyle, "disableAbort", true) or false
  inMovie = StartMovie(movie, translate, allowInput)
  local finish = GetTimer() + (time or 0)
  local showing = inMovie
  if not inMovie then
    local overlay = GetTag(gCurrentDefaultStyle, "splashoverlay", true) or Group({})
    if not graphic then
      -- Nothing to show: the splash must not stay on top and swallow input.
      PopModal(id)
      return
    end
    local splash = Bitmap{ name = "splashimage", image = graphic, overlay }
    splash()
    UpdateWindow()
    Pause(50)
    UpdateWindow()
    Pause(50)
    showing = ImageLoaded("splashimage")
  end
  if showing then
    while true do
      local msg = WaitForMessage(1)
      if not inMovie and GetTimer() >= finish then break end
      if msg then
        if msg.type == kCloseWindow then break end
        if msg.type == kModalClosed then
          if msg.name == id then break end
          gClosedWindows[msg.name] = true
        end
        if msg.type == kPressAnyKey and not disableAbort then break end
      end
      if inMovie and not IsMoviePlaying() then break end
    end
  end
  if inMovie then StopMovie() end
  PopModal(id)
end

function FlushMessages()
  while HandleGetMessage(1) do end
  gCommandQueue = {}
  gMessageQueue = {}
end

function WaitForMessage(delay, deferQueue)
  if not deferQueue and table.getn(gMessageQueue) > 0 then
    return table.remove(gMessageQueue)
  end
  local msg, cmd = HandleGetMessage(delay)
  if cmd then
    gYieldResult = cmd()
  elseif table.getn(gCommandQueue) > 0 then
    local queued = table.remove(gCommandQueue)
    gYieldResult = queued()
  end
  return msg
end

function Yield()
  coroutine.yield()
end

function ReadFile(file)
  return dofile("assets/" .. file)
end

function CloseWindow(param)
  PostMessage(CreateCloseMessage())
  if param then ModalReturn(param) end
end

function CustomCreator(s)
end

function GetString(id, p1, p2, p3, p4, p5)
  return _GetString(id, p1 or "", p2 or "", p3 or "", p4 or "", p5 or "")
end

function SetBitmap(name, image, scale)
  _SetBitmap(name, image, scale or 1)
end

function PopModal(r)
  DoPopModal(r)
end

function SwapToModal(file)
  ClearModalChildren()
  ReadLayout(file)
  DoFitToChildren()
end

function DisplayDialog(t)
  local file = t and t[1]
  if file == nil or file == "" then
    DebugOut("DisplayDialog called with empty script; aborting")
    return
  end
  local id = PushModal(file)
  gDialogTable = t
  if not ReadScreen(id, file) then return nil end
  WaitForCloseMessage(id)
  local result = gReturnValue
  gReturnValue = nil
  return result
end

function SelectLayer(layer)
  return function() DoSelectLayer(layer) end
end

function Group(t)
  return function() MakeDialog(t) end
end

function FitToChildren()
  return function() DoFitToChildren() end
end

function Pause(time, waitForKey)
  local finish = GetTimer() + time
  while true do
    local now = GetTimer()
    if now >= finish then return end
    local msg = WaitForMessage(finish - now, true)
    if msg then
      if waitForKey and msg.type == kPressAnyKey then return end
      table.insert(gMessageQueue, msg)
    end
  end
end

function SetState(key, value)
  if value == true then value = 1 elseif value == false then value = 0 end
  _SetState(tostring(key), tostring(value))
end

function RegisterHotkey(hotkey, buttonName)
  if hotkey and buttonName then
    _RegisterHotkey(hotkey, buttonName)
  end
end
)LUA";

}  // namespace

const char* ScreenInitSource()
{
    return kSource;
}

size_t ScreenInitLength()
{
    return sizeof kSource - 1;
}
