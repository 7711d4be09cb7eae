# Desktop entry, icon and the Debian package (`cpack --preset deb`, or the
# "package" workflow preset). The programs and the shipped data install from
# their own folders; see the install() rules there.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/norvane.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/norvane.svg DESTINATION share/icons/hicolor/scalable/apps)
if(TARGET norvane-decode)
  install(TARGETS norvane-decode RUNTIME DESTINATION bin)
endif()

set(CPACK_PACKAGE_NAME "norvane")
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_CONTACT "Norvane developers <norvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop weather-observation plotter")
set(CPACK_PACKAGE_DESCRIPTION
    "Fetches hourly bulletins of surface weather reports (METAR and SAO), decodes them, keeps the latest reports of
each station and draws them on a map of your region with station plots, weather symbols, grids and contours.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
# The Qt 6 base libraries the programs link, the platform plugins a window needs,
# zlib for gzip bodies, and cjpeg for SAVEPIC.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6widgets6 (>= 6.2), \
libqt6network6 (>= 6.2), libqt6printsupport6 (>= 6.2), qt6-qpa-plugins, zlib1g, libjpeg-turbo-progs")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
