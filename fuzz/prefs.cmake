# libFuzzer target for the preferences file reader, with a save and reload of what it read.
if(TARGET core_prefs)
  tv_fuzz_target(fuzz_prefs SOURCES prefs_fuzz.cpp fuzz_user_folder.cpp LINKS core_prefs
                 INSTRUMENT core_prefs)
endif()
