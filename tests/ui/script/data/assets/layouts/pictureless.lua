-- A dialog whose pictures are missing: the frame takes the size of what it holds, the buttons
-- show their labels only.
MakeDialog{
  Bitmap{ name = "frame", image = "pics/gone_frame.png", x = kCenter, y = kCenter,
    Button{ name = "yes", x = 40, y = 150, close = true,
      graphics = { "pics/gone_normal.png", "pics/gone_pressed.png", "pics/gone_over.png" },
      Text{ name = "label", label = "#Leave the game", x = 0, y = 0, w = kMax, h = kMax,
            flags = kHAlignCenter + kVAlignCenter },
    },
    Button{ name = "no", x = 220, y = 150, close = true,
      Text{ name = "label", label = "#Stay", x = 0, y = 0, w = kMax, h = kMax, flags = kHAlignCenter + kVAlignCenter },
    },
    Button{ name = "sized", x = 300, y = 10, w = 50, h = 20, close = true,
      graphics = { "pics/gone_normal.png" },
      Text{ name = "label", label = "#Sized", w = 50, h = 20 },
    },
  },
}
