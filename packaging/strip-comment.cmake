# Run by cpack on the installed files before it packages them: drops the
# .comment section (the compilers' names) from every stripped program, each
# file in a bin folder, whatever it is called.
file(GLOB_RECURSE programs "${CPACK_TOPLEVEL_DIRECTORY}/*")
list(FILTER programs INCLUDE REGEX "/bin/[^/]+$")
if(NOT CPACK_ARRAY_SORT_OBJCOPY)
  message(FATAL_ERROR "no objcopy: install binutils")
endif()
if(NOT programs)
  message(FATAL_ERROR "no program under ${CPACK_TOPLEVEL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_ARRAY_SORT_OBJCOPY}" --remove-section=.comment "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
