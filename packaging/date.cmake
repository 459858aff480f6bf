# Read by cpack before it packages: without a SOURCE_DATE_EPOCH of the
# caller's, the package's times are the date of the changelog's latest entry,
# as Debian's own tools take it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND dpkg-parsechangelog -l "${CPACK_ARRAY_SORT_CHANGELOG}" -STimestamp
    OUTPUT_VARIABLE epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
