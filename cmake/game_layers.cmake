# Fails when a game library includes a header of a layer above its own (docs/architecture.md,
# "The game's layers"): script, then world, startup, interface, screens; the program's
# game/main.cpp may include them all. Runs at configure time, and as a test in script mode:
#   cmake -DTV_SOURCE_DIR=<source> -P cmake/game_layers.cmake

set(_tv_game_layers script world startup interface screens)

function(tv_check_game_layers root)
  file(GLOB_RECURSE files ${root}/game/*.h ${root}/game/*.cpp)
  set(faults "")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH rel ${root}/game ${file})
    string(REGEX MATCH "^[^/]+" own "${rel}")
    list(FIND _tv_game_layers "${own}" own_rank)
    if(own_rank EQUAL -1)
      continue()
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"game/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"game/([^/\"]+).*" "\\1" used "${line}")
      list(FIND _tv_game_layers "${used}" used_rank)
      if(used_rank GREATER own_rank)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
        string(APPEND faults "\n  game/${rel} (${own}) includes ${header} (${used})")
      endif()
    endforeach()
  endforeach()
  if(faults)
    message(FATAL_ERROR "A game library includes a layer above its own:${faults}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED TV_SOURCE_DIR)
  tv_check_game_layers(${TV_SOURCE_DIR})
endif()
