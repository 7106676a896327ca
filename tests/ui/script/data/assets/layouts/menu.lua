-- A menu: a panel holding a button with a label and a caption looked up in the string table.
MakeDialog{
  Window{ name = "a", x = 10, y = 20, w = 300, h = 200,
    Button{ name = "b", x = 5, y = 5, w = 100, h = 30,
      Text{ name = "label", label = "#Play", w = 100, h = 30 },
    },
    Text{ name = "caption", label = "title", x = 0, y = 100, w = 200, h = 40 },
    Text{ name = "number", label = "3.5", x = 0, y = 150, w = 200, h = 40 },
  },
}
