# Run by CPack in its staging folder: the packed program carries no symbols, as Debian ships
# programs.
file(GLOB_RECURSE programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/velmora)
foreach(program ${programs})
  execute_process(COMMAND strip --strip-unneeded --remove-section=.comment
                          --remove-section=.note ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
