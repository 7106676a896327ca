-- Glitter round the paw print on the interface bar: a few sparks rise, shrink and fade.
-- Played by the game layout's tMenuParty, which steps it on its dialog's clock.
SetTexture("interface/sparkle.png")
RequireVelocity()
pAge = Allocate(1)
SetNumParticles(32)
pPosition:Init(fRange(Vec2(-16, -12), Vec2(16, 12)))
pVelocity:Init(fRange(Vec2(-6, -28), Vec2(6, -10)))
pScale:Init(fRange(0.5, 1))
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pAge:Anim(pAge + fTimeScale(1))
pColor:Anim(fFade(pAge, Color(1, 1, 1, 0.9), 1.6, Color(1, 0.85, 0.5, 0)))
Anim(fExpire(fLess(1.6, pAge)))

local gen = NewParticleGenerator()
function Update(seconds)
    CreateParticles(gen(6, seconds * 1000))
end
