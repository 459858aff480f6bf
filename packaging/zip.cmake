# What only the zip for Windows users needs: the program, and as text files
# that a double-click opens (.txt, CRLF line ends) the guide for Windows
# users, the licence and the manual page, in one folder named after the zip.
# The zip is written by packaging/write_zip.py, not by CPack's ZIP generator,
# which stores the builder's time zone and user: two builds of one commit
# give the same bytes.

find_program(GROFF groff REQUIRED)
find_program(PYTHON3 python3 REQUIRED)
set(zip_dir ${CMAKE_CURRENT_BINARY_DIR}/zip) # the files made for the zip
# The page without backspace overstrikes (-P-cbou).
add_custom_command(
  OUTPUT ${zip_dir}/array-sort.txt
  COMMAND ${GROFF} -man -Tascii -P-cbou ${PROJECT_SOURCE_DIR}/doc/array-sort.1 > ${zip_dir}/array-sort.txt
  DEPENDS ${PROJECT_SOURCE_DIR}/doc/array-sort.1
  VERBATIM)
add_custom_target(manual_text ALL DEPENDS ${zip_dir}/array-sort.txt)

set(CPACK_GENERATOR External)
set(CPACK_PACKAGE_FILE_NAME array-sort-${PROJECT_VERSION}-win64)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/write-zip.cmake)
set(CPACK_ARRAY_SORT_PYTHON ${PYTHON3})
set(CPACK_ARRAY_SORT_ZIP_WRITER ${CMAKE_CURRENT_LIST_DIR}/write_zip.py)
set(CPACK_ARRAY_SORT_ZIP_FILES ${CMAKE_BINARY_DIR}/array-sort.exe ${PROJECT_SOURCE_DIR}/doc/windows.txt=README.txt
                               ${PROJECT_SOURCE_DIR}/LICENSE=LICENSE.txt ${zip_dir}/array-sort.txt)
