#include "particles/machine/particle_library.h"

// Raw table access throughout: expression values answer numeric keys through __index.
const char kParticleLibrarySource[] = R"LUA(
kBlendNormal = 0
kBlendOpaque = 1
kBlendAdditiveAlpha = 2
kBlendSubtractive = 3
kBlendMultiplicative = 4
kBlendMode = "blendmode"

ValueMT = {}

function CreateValue(name, args)
  local value = { cmd = name, params = args }
  setmetatable(value, ValueMT)
  return value
end

local function AddOperators(mt)
  mt.__lt = function(a, b) return CreateValue("lt", {a, b}) end
  mt.__le = function(a, b) return CreateValue("le", {a, b}) end
  mt.__add = function(a, b) return CreateValue("add", {a, b}) end
  mt.__sub = function(a, b) return CreateValue("sub", {a, b}) end
  mt.__div = function(a, b) return CreateValue("div", {a, b}) end
  mt.__mul = function(a, b) return CreateValue("mul", {a, b}) end
  mt.__unm = function(a) return CreateValue("unm", {a}) end
end

AddOperators(ValueMT)
ValueMT.__index = function(value, key)
  if type(key) == "number" then
    return CreateValue("vindex", {value, key})
  end
  return rawget(ValueMT, key)
end

AddOperators(ParticleMemberMT)
ParticleMemberMT.__index = function(member, key)
  if type(key) == "number" then
    local base = GetParticleMemberParts(member)
    return CreateValue("index", {base, key})
  end
  return rawget(ParticleMemberMT, key)
end
ParticleMemberMT.Init = function(member, p)
  local base, size = GetParticleMemberParts(member)
  CompileParameters({CreateValue("assign", {p, base, size})})
  AccumulateInitStream()
end
ParticleMemberMT.Anim = function(member, p)
  local base, size = GetParticleMemberParts(member)
  CompileParameters({CreateValue("assign", {p, base, size})})
  AccumulateAnimStream()
end

function fGreater(a, b) return fLess(b, a) end
function fGreaterEqual(a, b) return fLessEqual(b, a) end

function Init(statement)
  CompileParameters({statement})
  AccumulateInitStream()
end

function Anim(statement)
  CompileParameters({statement})
  AccumulateAnimStream()
end

function CompileParameters(t)
  local sizes = {}
  local n = table.getn(t)
  for i = 1, n do
    sizes[i] = CompileParam(rawget(t, i))
  end
  return sizes
end

function Spawn(n)
  CreateParticles(n)
  Create()
end

local function ValueList(list)
  setmetatable(list, ValueMT)
  return list
end

function Value(...) return ValueList(arg) end
function Vec2(x, y) return ValueList({x, y}) end
function Vec3(x, y, z) return ValueList({x, y, z}) end
function Color(r, g, b, a) return ValueList({r, g, b, a}) end

function SetBlendMode(mode)
  SetRendererOption1(kBlendMode, mode)
end

function NewParticleGenerator()
  local accumulator = 0
  local generator = function(particlesPerSecond, ms)
    accumulator = accumulator + ms
    local n = math.floor(accumulator / 1000 * particlesPerSecond)
    -- Nothing owed leaves the accumulator alone (a rate of 0 would make it NaN).
    if n > 0 then
      accumulator = accumulator - math.floor(n * 1000 / particlesPerSecond)
    end
    return n
  end
  ParticlesPerSecond = generator
  return generator
end

function NewTimeout(seconds)
  local remaining = seconds
  return function(dt)
    if remaining < 0 then return true end
    remaining = remaining - dt
    return false
  end
end

function SetTexture(name)
  _SetTexture(name)
end

function RequireVelocity()
  if not pVelocity then
    pVelocity = Allocate(2)
  end
end

function SetUpGravity(accel)
  RequireVelocity()
  pVelocity:Anim(pVelocity + fTimeScale(Vec2(0, accel)))
end

function Update(seconds)
end

function GUI_Slider(default) return default end
function GUI_Texture(default) return default end
function GUI_Select(default) return default end
function GUI_PickTexture(default) return default end
)LUA";
