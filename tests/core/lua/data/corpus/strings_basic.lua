-- Basic string functions
local s = "Hello, World"
print(string.len(s), string.len(""), string.upper(s), string.lower(s))
print(string.sub(s, 1, 5), string.sub(s, -5), string.sub(s, 8, -1), string.sub(s, 5, 2) == "")
print(string.sub(s, -100, 3), string.sub(s, 10, 100), string.sub(s, 0))
print(string.rep("ab", 3), string.rep("x", 0) == "", string.rep("-", 1))
print(string.byte("A"), string.byte("abc", 2), string.byte("abc", -1), string.char(72, 105, 33))
print(string.char(), string.byte("\0") , string.len("a\0b"))
print(string.find("hello world", "wor"), string.find("hello", "xyz"), string.find("a.b", ".", 1, true))
print(string.find("hello", "l"), string.find("hello", "l", 4), string.find("hello", "", 3))
print(string.find("abc", "b", -1), string.find("abc", "b", -2))
