# What `make install` puts where (PREFIX, DESTDIR), and the Debian package CPack builds from the
# same tree (`make package`). The programs, the desktop entry with its icon and AppStream data,
# the file type of recordings (known by their "Version 1.00" header), the manual pages, the user
# guide and the demo recording.
include(GNUInstallDirs)

set(quarvel_id org.quarvel.Quarvel)
set(quarvel_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quarvel)

install(TARGETS quarvel quarvel-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${quarvel_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${quarvel_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/${quarvel_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${quarvel_id}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${quarvel_id}.xml)
install(FILES demo/rest_and_stimuli.bin DESTINATION ${CMAKE_INSTALL_DATADIR}/quarvel/demo)
install(FILES docs/guide.md README.md data/copyright DESTINATION ${quarvel_doc_dir})
install(DIRECTORY docs/guide/ DESTINATION ${quarvel_doc_dir}/guide FILES_MATCHING PATTERN "*.png")

# Manual pages and the package's changelog go compressed, as Debian keeps them.
find_program(GZIP gzip REQUIRED)
set(quarvel_gz)
foreach(page quarvel.1 quarvel-convert.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
                     DEPENDS ${PROJECT_SOURCE_DIR}/man/${page} VERBATIM)
  list(APPEND quarvel_gz ${CMAKE_BINARY_DIR}/man/${page}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
                   COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/data/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
                   DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog VERBATIM)
list(APPEND quarvel_gz ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${quarvel_doc_dir})
add_custom_target(compressed_docs ALL DEPENDS ${quarvel_gz})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quarvel developers")
set(CPACK_PACKAGE_CONTACT "Quarvel developers <developers@quarvel.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quarvel developers <developers@quarvel.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quarvel.org")
# Library dependencies from what the programs link; the X11 platform plugin is loaded at run time,
# so no linked library names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record and analyse slow physiological signals")
# CPack puts the summary first and indents these lines itself; an empty line parts paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quarvel records up to three channels of slow physiological signals and a
marker channel, continuously or in stimulus-locked blocks, and analyses the
recordings: paging and zooming, averaging, cursor readings, block
statistics, peaks, power spectra and annotations. It reads its own
recordings, sample files and EDF/BDF files and exports EDF+.

quarvel-convert describes recordings and converts them to EDF+ or CSV from
the command line, without a display.")
include(CPack)
