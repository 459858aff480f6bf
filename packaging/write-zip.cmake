# Run by cpack (its External generator): writes the zip for Windows users.
execute_process(
  COMMAND "${CPACK_ARRAY_SORT_PYTHON}" "${CPACK_ARRAY_SORT_ZIP_WRITER}"
          "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip" "${CPACK_PACKAGE_FILE_NAME}"
          "$ENV{SOURCE_DATE_EPOCH}" ${CPACK_ARRAY_SORT_ZIP_FILES} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "package: ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip written")
