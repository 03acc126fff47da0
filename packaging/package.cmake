# Installs the manual page, the copyright file, the changelog and the two
# tables the manual points to, and sets up the Debian package:
# (cd build && cpack -G DEB) writes build/sfconv_VERSION_ARCH.deb.

# The changelog is Debian's format: its first entry names the version and the
# maintainer, and a new version needs a new entry.
set(sfconv_changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sfconv_changelog})
file(STRINGS ${sfconv_changelog} sfconv_changelog_head LIMIT_COUNT 1)
if(NOT sfconv_changelog_head MATCHES "^sfconv \\(([^)]+)\\) "
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: the first entry is for version \"${CMAKE_MATCH_1}\", "
                      "not ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
file(STRINGS ${sfconv_changelog} sfconv_changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT sfconv_changelog_trailer MATCHES "^ -- ([^<]+ <[^>]+>)  ")
  message(FATAL_ERROR "packaging/changelog: no maintainer line in the first entry")
endif()
set(sfconv_maintainer "${CMAKE_MATCH_1}")

# Debian wants manual pages and changelogs compressed at the highest level, and
# without a name or a time stamp in the gzip header, so that a rebuild gives the
# same bytes.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(sfconv_gzipped)
foreach(pair "${PROJECT_SOURCE_DIR}/sfconv.1|sfconv.1" "${sfconv_changelog}|changelog")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 name)
  set(plain ${PROJECT_BINARY_DIR}/packaging/${name})
  add_custom_command(
    OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${GZIP_EXECUTABLE} -9nf ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND sfconv_gzipped ${plain}.gz)
endforeach()
add_custom_target(sfconv_gzipped_docs ALL DEPENDS ${sfconv_gzipped})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(FILES ${PROJECT_BINARY_DIR}/packaging/sfconv.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The tables the manual page points to: the FullProf layouts read and the CIF
# items each column comes from (doc/cif-files-tried.md and
# doc/sine-and-cosine.md are about the sources and stay there).
install(FILES ${PROJECT_SOURCE_DIR}/doc/fullprof-versions.md ${PROJECT_SOURCE_DIR}/doc/cif-items.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A stripped install (cpack, or cmake --install --strip) also drops the
# compilers' version strings, as Debian's own packages do.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/sfconv\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()

set(CPACK_PACKAGE_NAME sfconv)
set(CPACK_PACKAGE_VENDOR "sfconv developers")
set(CPACK_PACKAGE_CONTACT "${sfconv_maintainer}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "converts powder-diffraction refinement results to observed structure factors")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "After a structure refinement of powder-diffraction data, sfconv reads the
refinement program's result and writes one text file of observed structure
factors for density-reconstruction programs: the cell, then for every
reflection of the chosen pattern and phase the Miller indices, the observed
structure factor (real part, imaginary part, modulus), its standard deviation
and the observed intensity.

It reads GSAS listings, FullProf outputs with the second file of moduli and
phase angles that FullProf writes beside them, binary KOLMEX reflection
files, and CIF or FCF reflection files (GSAS, GSAS-II, FullProf, SHELXL).
The parameter file of a run names the files and the numbers the output
needs; sfconv --init writes it from the refinement program's file.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Depends field: dpkg-shlibdeps reads it from the libraries sfconv loads.
# Without it, the C library that the Debian 12 toolchain links against.
find_program(DPKG_SHLIBDEPS_EXECUTABLE dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_EXECUTABLE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(sfconv_link STREQUAL "static-runtime")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.35)")
elseif(NOT sfconv_link STREQUAL "static")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
