# What only the Debian package needs. Debian's policy asks for compressed
# manual pages and changelogs and a machine-readable copyright file; they are
# made here, in a component that a plain install leaves out.

find_program(GZIP gzip REQUIRED)
set(package_doc ${CMAKE_CURRENT_BINARY_DIR}/package-doc)
foreach(file doc/array-sort.1 doc/changelog)
  cmake_path(GET file FILENAME name)
  add_custom_command(
    OUTPUT ${package_doc}/${name}.gz
    COMMAND ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/${file} > ${package_doc}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${file}
    VERBATIM)
  list(APPEND package_doc_files ${package_doc}/${name}.gz)
endforeach()
add_custom_target(package_doc ALL DEPENDS ${package_doc_files})

# The copyright file holds the licence from LICENSE: its copyright line, and
# the text after it as the Expat licence.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)\n\n(.*)" licence_parts "${licence}")
set(copyright "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n+$" "" licence_text "${CMAKE_MATCH_2}")
string(REGEX REPLACE "\n\n" "\n.\n" licence_text "${licence_text}")
string(REPLACE "\n" "\n " licence_text " ${licence_text}")
file(
  CONFIGURE
  OUTPUT
  ${package_doc}/copyright
  CONTENT
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: array-sort

Files: *
Copyright: ${copyright}
License: Expat

License: Expat
${licence_text}
")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

install(FILES ${package_doc}/array-sort.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT package_doc
        EXCLUDE_FROM_ALL)
install(FILES ${package_doc}/changelog.gz ${package_doc}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT package_doc EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME array-sort COMPONENT package_doc EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "array-sort asks for a count and up to 100 signed 32-bit integers on standard\ninput, sorts them into ascending order with an adjacent-exchange sort, and\nwrites them back on one line under a fixed heading.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program package_doc)
# Stripping leaves the compilers' .comment section, which a package does not
# need; objcopy, as CMake found it with the compiler, removes it.
set(CPACK_ARRAY_SORT_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip-comment.cmake)
