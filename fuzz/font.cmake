# libFuzzer target for ".mvec" font blocks and the vector glyph rasteriser.
if(TARGET render_text)
  tv_fuzz_target(fuzz_font SOURCES font_fuzz.cpp LINKS render_text INSTRUMENT render_text)
endif()
