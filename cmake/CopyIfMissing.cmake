# Copies SRC to DST unless DST is already there: a data file beside the program may hold the
# user's own changes and is never overwritten.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
