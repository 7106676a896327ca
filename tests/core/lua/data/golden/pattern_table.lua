-- Every pattern against every subject through find, gsub and gfind, with the errors they
-- raise: a fast path that answers differently from the general matcher shows up here.
local patterns = {
  "", "a", "o", ";", "ab", "aab", "a\0b", "%a", "%a+", "o%a+", "(%a+)", "()", "()a", "(()a)", "%d+:",
  "%d+", "%s*", "%w-x", "x?y", "a*", "a-b", "[a-c]+", "[^%s]+", "[]a]", "[%]]+", "[a-]", "[-a]",
  ".", ".-", ".+$", "^a", "^", "$", "a$", "$a", "^$", "a%$", "%.", "%%", "%bxy", "%b()", "(a)%1",
  "(a*(.)%w(%s*))", "%f", "%A+", "%Z", "%z", "%C", "%P+", "%X+", "%L", "%U-", "%x", "\255+",
  "[\128-\255]+", "[%a%d]", "[%A]", "((a)(b))", "(a)(b)()", "^(%s*)(.-)(%s*)$", "a+b+", "%w+$",
  "[", "[a", "[^", "%", "a%", "(", "a)", "%1", "(a", "(()", "%b", "%bx", "[%", "[a-%",
  "^%a", "^%a+", "^[%a_][%w_]*", "^a*", "o%a", "%sx", "[%w_]+", "[%a-z]", "[a-%%]",
  "a[", "o%", "b(", "l)", "[ab]+%d", "%d+%.?%d*", "%a+(", "()()%s", string.rep("(", 32) .. "a",
  string.rep("(", 33) .. "a", "(" .. string.rep("()", 32) .. "a", "[%a]-o", "%x*%x", ".-%s", "\0", "(a+)b%1", "a+b", "%a+%d", "%b+%x", "%b++", "%1+", ".+%d",
}
local subjects = {
  "", "a", "aaa", "aab", "xyz", "ab ab", "a\0b", "hello world", "The quick brown fox jumps over",
  "1: 0.14,2: 0.29;", "x(y(z))w", "xaxbyy", "  trim  ", "\0\1\127\128\200\255", "]a]]-",
  "a$b%c.d", "aXbx", "ooooo", "foo_bar baz9", "aaba", "aaab1",
}

local function show(...)
  local t = {}
  for i = 1, arg.n do t[i] = type(arg[i]) == "string" and string.format("%q", arg[i]) or tostring(arg[i]) end
  return table.concat(t, ",")
end

local function try(f, ...)
  local r = {pcall(f, unpack(arg))}
  if not r[1] then return "E:" .. string.gsub(tostring(r[2]), "^.*pattern_table%.lua:%d+: ", "") end
  table.remove(r, 1)
  r.n = table.getn(r)
  return show(unpack(r))
end

local function gfindAll(s, p)
  local out = {}
  for a, b, c in string.gfind(s, p) do
    table.insert(out, show(a, b, c))
    if table.getn(out) > 40 then break end
  end
  return table.concat(out, "|")
end

local function upperFirst(a) return string.upper(a) .. "." end

for pi, p in ipairs(patterns) do
  for si, s in ipairs(subjects) do
    io.write(pi, ".", si, " ",
      try(string.find, s, p), " ; ",
      try(string.find, s, p, 3), " ; ",
      try(string.find, s, p, -2), " ; ",
      try(string.gsub, s, p, "<%1>"), " ; ",
      try(string.gsub, s, p, "-", 2), " ; ",
      try(string.gsub, s, p, upperFirst), " ; ",
      try(gfindAll, s, p), "\n")
  end
end

-- plain find with specials, embedded zeros, positions past the end; replacement oddities
for _, c in ipairs({{"a.b", ".", 1, true}, {"a\0b", "\0b"}, {"a\0b.", "\0b."}, {"ab", "b", 10},
                    {"ab", "", 3}, {"ab", "", 4}, {"", ""}, {"ab", "", -10}, {"ab", "b", nil, 1},
                    {"aXb", "X", 2, false}, {"ab", "a", "x"}, {12345, 34}, {"ab"}}) do
  print(try(string.find, c[1], c[2], c[3], c[4]))
end
for _, c in ipairs({{"x", "[", "", 0}, {"abc", "b", "%2"}, {"abc", "b", "%0"}, {"abc", "b", "%1%%%x%"},
                    {"abc", "b", 12}, {"hello", "l", {}}, {"hello", "l", "L", -1}, {"a;b;;c", ";", ","},
                    {"a;b;;c", ";;", "%1%1"}, {"a\0b\0", "\0", "."}, {"hello", "l", "L", 1.5},
                    {12345, 3, 9}, {"abc", "^", "^"}, {"abc", "$", "$"}, {"abc", "^c", "x"}}) do
  print(try(string.gsub, c[1], c[2], c[3], c[4]))
end

-- every byte against every class letter, upper and lower case
local all = {}
for i = 0, 255 do all[i + 1] = string.char(i) end
all = table.concat(all)
for _, c in ipairs({"a", "c", "d", "l", "p", "s", "u", "w", "x", "z", "f", "q"}) do
  for _, k in ipairs({c, string.upper(c)}) do
    local hits = {}
    for pos in string.gfind(all, "()%" .. k) do table.insert(hits, pos - 1) end
    print(k, table.concat(hits, " "))
  end
end
for _, f in ipairs({string.upper, string.lower}) do
  local mapped, changed = f(all), {}
  for i = 1, 256 do
    if string.sub(mapped, i, i) ~= string.sub(all, i, i) then table.insert(changed, (i - 1) .. ">" .. string.byte(mapped, i)) end
  end
  print(string.len(mapped), table.concat(changed, " "))
end
