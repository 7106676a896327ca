# libFuzzer target for binary ".anm" animation descriptions.
if(TARGET render_anim)
  tv_fuzz_target(fuzz_anim SOURCES anim_fuzz.cpp LINKS render_anim render_gl INSTRUMENT render_anim)
endif()
