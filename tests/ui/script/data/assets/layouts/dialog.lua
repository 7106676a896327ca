-- A dialog whose OK button closes it and hands back its name.
MakeDialog{
  Window{ name = "box", x = 0, y = 0, w = 200, h = 100,
    Button{ name = "ok", x = 10, y = 10, w = 80, h = 30, close = true },
  },
}
