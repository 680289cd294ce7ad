# Install rules and the Debian package. Included from the top-level list after src/, so that
# tarnwick-cli is known when it is built at all.
include(GNUInstallDirs)

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tarnwick-cli)
  install(TARGETS tarnwick-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(dist ${CMAKE_CURRENT_LIST_DIR})
# The entry is named after the executable: the window's class and the Wayland app id that Qt
# derives from it then find the entry without further set-up.
install(FILES ${dist}/tarnwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/tarnwick.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${dist}/example.tarnwick.Tarnwick.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <dev@tarnwick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Build keyword-focused web pages out of search results")
set(CPACK_PACKAGE_DESCRIPTION "Tarnwick turns a seed keyword into related search terms, harvests\n\
result addresses, fetches each page for its title and description, and writes\n\
numbered HTML pages and a sitemap from a template of your own.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarnwick.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the executables link (Qt, gumbo, the C++ runtime); the Qt
# plugins that load at run time (xcb, TLS) ship in those same Qt packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
