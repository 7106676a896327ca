# libFuzzer target for the script core: arbitrary bytes as source and as a precompiled chunk.
if(TARGET lua)
  tv_fuzz_target(fuzz_lua SOURCES lua_fuzz.cpp LINKS lua INSTRUMENT lua)
endif()
