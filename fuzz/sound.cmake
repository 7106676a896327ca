# libFuzzer target for the sound decoders (Ogg Vorbis, Speex, memory copy). Included by the
# fuzz tree (or by sound/ while there is none); needs clang.
if(NOT TARGET fuzz_sound_decoders)
  add_executable(fuzz_sound_decoders ${PROJECT_SOURCE_DIR}/fuzz/sound_decoders_fuzz.cpp)
  target_link_libraries(fuzz_sound_decoders PRIVATE sound_sources)
  target_compile_options(fuzz_sound_decoders PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_sound_decoders PRIVATE -fsanitize=fuzzer,address,undefined)
  # Coverage of the decoders themselves, not only of the harness.
  target_compile_options(sound_sources PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  tv_warnings(fuzz_sound_decoders)
endif()
