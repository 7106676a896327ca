# libFuzzer target for the walk-mesh loaders, with a region switch and a path search on what loads.
if(TARGET game_world_path)
  tv_fuzz_target(fuzz_mesh SOURCES mesh_fuzz.cpp LINKS game_world_path
                 INSTRUMENT game_world_path game_world_mesh game_world_datafile game_world_geometry)
endif()
