# What `cmake --install` lays out under the prefix, and the Debian package made from it
# (`cpack -G DEB`, or `make package` at the top).
#
# The desktop entry, the AppStream data and the icon share one id; the program finds its
# viewer and the viewer its guide from their own places in the prefix (see
# TICKVANE_VIEWER_FROM_BINDIR), so the prefix can be chosen at install time.

set(TICKVANE_DIST_DIR "${CMAKE_SOURCE_DIR}/dist")

if(TARGET tickvane)
  install(TARGETS tickvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS tickvane-viewer RUNTIME DESTINATION ${TICKVANE_VIEWER_DIR})
endif()
install(TARGETS quotedump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${TICKVANE_DIST_DIR}/${TICKVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${TICKVANE_DIST_DIR}/${TICKVANE_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${TICKVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${TICKVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${TICKVANE_DIST_DIR}/icons/${TICKVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${TICKVANE_DIST_DIR}/icons/${TICKVANE_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TICKVANE_APP_ID}.png)
endforeach()

# Compresses FILE into FILE.gz as Debian installs documentation: best compression, no name
# or time stamp in the header, so that the same input makes the same bytes.
find_program(TICKVANE_GZIP gzip REQUIRED)
function(tickvane_gzip file)
  execute_process(COMMAND ${TICKVANE_GZIP} -9 -n -c ${file} OUTPUT_FILE ${file}.gz
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed: ${status}")
  endif()
endfunction()

# The man pages carry the version, the release date and where the guide and the viewer lie
# below the prefix.
set(TICKVANE_GUIDE_PATH "${CMAKE_INSTALL_DOCDIR}/user-guide.html")
set(TICKVANE_VIEWER_PATH "${TICKVANE_VIEWER_DIR}/tickvane-viewer")
foreach(page tickvane quotedump)
  configure_file(${TICKVANE_DIST_DIR}/man/${page}.1.in ${CMAKE_BINARY_DIR}/dist/${page}.1 @ONLY)
  tickvane_gzip(${CMAKE_BINARY_DIR}/dist/${page}.1)
  install(FILES ${CMAKE_BINARY_DIR}/dist/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# The Debian package: what the binaries link decides the dependencies.
# The project has no mail address yet; a packager sets one with
# -DTICKVANE_MAINTAINER="Name <address>" (lintian calls the field malformed until then).
set(TICKVANE_MAINTAINER "The Tickvane developers"
    CACHE STRING "The Debian package's maintainer, as \"Name <address>\"")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tickvane")
set(CPACK_PACKAGE_VENDOR "The Tickvane developers")
set(CPACK_PACKAGE_CONTACT "${TICKVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TICKVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for MetaStock and CompuTrac quote databases")
# Each line within 80 characters with the space dpkg puts before it.
set(CPACK_PACKAGE_DESCRIPTION
    "Tickvane shows end-of-day stock and commodity quotes kept in MetaStock and\n"
    "CompuTrac data directories as price charts: high-low bars with close ticks,\n"
    "two moving averages, a volume band, a price scale, dates, symbol and name.\n"
    "It steps through a database's securities, prints charts, runs a slide show\n"
    "and draws charts into PNG files from the command line. quotedump prints what\n"
    "a database holds as text.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The chart's text is set in Liberation Sans; printing asks for Arial, which it stands in for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
include(CPack)
