-- A dialog whose button turns it, in the same modal window, into the OK dialog.
MakeDialog{
  Window{ name = "page", x = 0, y = 0, w = 200, h = 100,
    Button{ name = "turn", x = 10, y = 10, w = 80, h = 30,
            command = function() SwapToModal("layouts/dialog.lua") end },
  },
}
