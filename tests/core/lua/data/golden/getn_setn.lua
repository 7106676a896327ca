-- Element counts: the field "n", sizes set by setn, and counting to the first nil
local plain = {1, 2, nil, 4}
print(table.getn(plain))
local withn = {n = 5, "a"}
print(table.getn(withn))
table.insert(withn, "b")
print(withn.n, withn[6])
local sized = {}
table.setn(sized, 10)
print(table.getn(sized), sized.n)
table.insert(sized, "x")
print(table.getn(sized), sized[11])
print(table.remove(sized), table.getn(sized))
table.setn(withn, 2)
print(withn.n, table.getn(withn))
print(unpack({n = 2, "p", "q", "r"}))
local holes = {}
holes[1] = 1 holes[2] = 2 holes[4] = 4
print(table.getn(holes))
local ins = {}
table.insert(ins, 5, "five")
print(table.getn(ins), ins[5])
print(table.concat({n = 2, "x", "y", "z"}, ","))
