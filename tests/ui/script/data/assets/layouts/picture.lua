-- A panel with a picture and a button whose away picture is green.
MakeDialog{
  Window{ name = "panel", x = 20, y = 20, w = 200, h = 120,
    Bitmap{ name = "red", image = "::assets/pics/red.png", x = 10, y = 10 },
    Button{ name = "go", x = 100, y = 10,
      graphics = { "::assets/pics/green.png", "::assets/pics/blue.png", "::assets/pics/blue.png" } },
  },
}
