# libFuzzer target for ".mesh" triangle models.
if(TARGET render_model)
  tv_fuzz_target(fuzz_model SOURCES model_fuzz.cpp LINKS render_model INSTRUMENT render_model)
endif()
