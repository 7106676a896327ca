# libFuzzer target for the sound decoders (Ogg Vorbis, Speex, memory copy).
if(TARGET sound_sources)
  tv_fuzz_target(fuzz_sound_decoders SOURCES sound_decoders_fuzz.cpp LINKS sound_sources
                 INSTRUMENT sound_sources)
endif()
