# cmake -DSRC=<file> -DDST=<file> -P CopyIfAbsent.cmake: a user's own copy is never replaced.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
