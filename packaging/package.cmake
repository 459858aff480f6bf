# What any package of the program needs: its name, version and description,
# and the changelog's latest date as the time of every file in it, so that
# two builds of one commit give the same bytes. Included from the top-level
# CMakeLists.txt when ARRAY_SORT_PACKAGE is on.

set(CPACK_PACKAGE_NAME array-sort)
set(CPACK_PACKAGE_CONTACT "array-sort maintainers <maintainers@users.noreply.c-seed-79463e4a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sort up to 100 whole numbers typed at the console")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# Unless the caller sets SOURCE_DATE_EPOCH, every time in the package is the
# date of the changelog's latest entry.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/date.cmake)
set(CPACK_ARRAY_SORT_CHANGELOG ${PROJECT_SOURCE_DIR}/doc/changelog)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/zip.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/debian.cmake)
endif()
include(CPack)
