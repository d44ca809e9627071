# Installation for the Linux desktop and the Debian package made from it.
#
# The program folder (executables with their shipped data beside them, as the
# program expects) goes to VELMORA_PROGRAM_DIR under the prefix, with links on
# the PATH; the desktop entry, icons, AppStream metadata, the list-file type and
# the manual pages go to their XDG and man places under the prefix.
# `cpack -G DEB` in the build folder (or scripts/package) makes velmora_*.deb.

set(package_dir ${PROJECT_SOURCE_DIR}/packaging)
set(commands velmora velmora-thumbs velmora-format velmora-check)

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})
install(DIRECTORY data/ DESTINATION ${VELMORA_PROGRAM_DIR})

# velmora-thumbs belongs in the program folder with the others, where it finds
# the shipped data and the thumbnail folder the program uses.
install(TARGETS velmora-thumbs RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})
if(NOT VELMORA_PROGRAM_DIR STREQUAL ".")

  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/links)
  # Relative links, so that the installed tree works wherever it is unpacked.
  # The program resolves them to find its own folder.
  foreach(command IN LISTS commands)
    file(CREATE_LINK ../${VELMORA_PROGRAM_DIR}/${command} ${CMAKE_BINARY_DIR}/packaging/links/${command}
         SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/links/${command} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endforeach()
endif()

install(FILES ${package_dir}/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${package_dir}/org.velmora.velmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# File managers that follow the freedesktop thumbnailer convention find it here.
install(FILES ${package_dir}/velmora.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${package_dir}/velmora-filelist.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velmora.xml)
install(FILES ${package_dir}/icons/velmora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${package_dir}/icons/${size}/velmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages, compressed as Debian ships them (-n: no name or time stamp in
# the archive, so the same page gives the same bytes).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(command IN LISTS commands)
  # The page names the package's version.
  set(source ${CMAKE_BINARY_DIR}/packaging/man-source/${command}.1)
  configure_file(${package_dir}/man/${command}.1 ${source} @ONLY)
  set(page ${CMAKE_BINARY_DIR}/packaging/man/${command}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
    COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${page}
    DEPENDS ${source}
    COMMENT "Compressing the manual page of ${command}")
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(velmora_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence terms (machine-readable, as Debian asks) and the history of
# releases, in the package's documentation folder.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/velmora)
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9nc ${package_dir}/doc/changelog > ${changelog}
  DEPENDS ${package_dir}/doc/changelog
  COMMENT "Compressing the changelog")
add_custom_target(velmora_changelog ALL DEPENDS ${changelog})
install(FILES ${package_dir}/doc/copyright ${changelog} DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${VELMORA_VERSION})
set(CPACK_PACKAGE_CONTACT "Velmora developers <developers@velmora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse, preview and thumbnail web sites kept on disk")
# Debian wants the lines of the long description at most 80 columns wide (with
# the space CPack puts before each); the lines are broken here by hand.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Velmora is a desktop program for people who keep web sites as folders on"
  "their local disk. It browses those folders, previews a page in an embedded"
  "browser or as coloured source in an embedded editor with an HTML formatter,"
  "renders pages into thumbnails, makes snapshots and keeps saved file lists.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: the fonts pages ask for by name, and the platform
# plugin Qt opens a window with (only recommended by Qt's own packages).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
# Outside a full desktop, opening a page in the default browser goes through
# xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
# strip keeps the compiler's version notes; Debian's packages drop them.
set(CPACK_VELMORA_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/VelmoraStripNotes.cmake)
include(CPack)
