-- A constructor whose type no class was registered for: its child lands in the current window.
function Gadget(t) t.typename = 'Gadget'; return function() DoWindow(t) end end
MakeDialog{
  Gadget{ name = "g", Text{ name = "orphan", label = "#x", w = 40, h = 20 } },
}
