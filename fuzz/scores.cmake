# libFuzzer targets for the score server's replies and the encrypted score file.
if(TARGET online_scores)
  tv_fuzz_target(fuzz_score_reply SOURCES score_reply_fuzz.cpp fuzz_user_folder.cpp LINKS online_scores
                 INSTRUMENT online_scores)
  tv_fuzz_target(fuzz_score_file SOURCES score_file_fuzz.cpp fuzz_user_folder.cpp LINKS online_scores
                 INSTRUMENT online_scores)
endif()
