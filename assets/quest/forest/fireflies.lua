-- The forest's fireflies: a particle description, carried by the FIREFLIES actor. Each one
-- appears near the swarm's centre, drifts on towards the clearing, blinks three times and goes.

local pVelocity = Allocate(2)
local pAge = Allocate(1)

SetNumParticles(48)
SetTexture("quest/forest/firefly.png")
SetBlendMode(kBlendAdditiveAlpha)

local dark = Color(0.9, 1, 0.5, 0.05)
local bright = Color(1, 1, 0.7, 1)

pPosition:Init(f2dRadius(fRange(0, 60)))
pVelocity:Init(f2dRadius(fRange(3, 10)) + Vec2(9, -3))
pScale:Init(fRange(0.5, 1.1) * dScale[1])
pColor:Init(dark)

pPosition:Anim(pPosition + fTimeScale(pVelocity))
pAge:Anim(pAge + fTimeScale(1))
pColor:Anim(fFade(pAge, dark, 0.7, bright, 0.5, dark, 0.7, bright, 0.5, dark, 0.7, bright, 0.5,
                  Color(0.9, 1, 0.5, 0)))
Anim(fExpire(fLess(4.4, pAge)))

local rate = NewParticleGenerator()
function Update(seconds)
    CreateParticles(rate(8, seconds * 1000))
end
