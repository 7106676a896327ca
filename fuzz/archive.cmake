# libFuzzer target for the ".zvp" archive directory and entry reader.
if(TARGET core_files)
  tv_fuzz_target(fuzz_archive SOURCES archive_fuzz.cpp LINKS core_files INSTRUMENT core_files)
endif()
