# Writes FIRST followed by SECOND into OUTPUT, at build time:
#   cmake -DFIRST=a.lua -DSECOND=b.lua -DOUTPUT=ab.lua -P join_files.cmake
file(READ ${FIRST} first)
file(READ ${SECOND} second)
file(WRITE ${OUTPUT} "${first}${second}")
