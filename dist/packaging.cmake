# Install rules and the Debian package. Included from the top-level list after src/, so that
# tarnwick-cli is known when it is built at all.
include(GNUInstallDirs)

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tarnwick-cli)
  install(TARGETS tarnwick-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# A stripped copy also loses the compiler's version notes, as Debian's own packages do.
install(CODE "set(tarnwick_bin \"${CMAKE_INSTALL_BINDIR}\")\nset(tarnwick_objcopy \"${CMAKE_OBJCOPY}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP AND tarnwick_objcopy)
    foreach(exe tarnwick tarnwick-cli)
      set(file "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${tarnwick_bin}/${exe}")
      if(EXISTS "${file}")
        execute_process(COMMAND "${tarnwick_objcopy}" --remove-section=.comment --remove-section=.note "${file}")
      endif()
    endforeach()
  endif()
]])

set(dist ${CMAKE_CURRENT_LIST_DIR})
# Named after the package, not the project: Debian looks for usr/share/doc/PACKAGE.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
# The entry is named after the executable: the window's class and the Wayland app id that Qt
# derives from it then find the entry without further set-up.
install(FILES ${dist}/tarnwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/tarnwick.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${dist}/example.tarnwick.Tarnwick.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The harvest's hint points at this copy of the settings when the package is installed.
install(FILES ${dist}/searxng/settings.yml DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwick/searxng)
install(FILES ${dist}/bash-completion/tarnwick-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${dist}/debian/copyright DESTINATION ${doc_dir})
# Help > About points at it.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${doc_dir})

# Debian wants the changelog and the manual pages compressed, without a name or a time stamp
# in the gzip header, so that the same sources give the same package.
set(docs ${CMAKE_BINARY_DIR}/package-docs)
add_custom_command(OUTPUT ${docs}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${dist}/debian/changelog ${docs}/changelog
  COMMAND gzip -9nf ${docs}/changelog
  DEPENDS ${dist}/debian/changelog VERBATIM)
set(doc_files ${docs}/changelog.gz)
install(FILES ${docs}/changelog.gz DESTINATION ${doc_dir})

# The manual pages are made from the programs' own --help, so they cannot drift from it.
# A plain build works without help2man; tools/check-install.sh insists on it. The sanitized
# builds skip them: running their executables at build time would fail on a leak report.
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT TARNWICK_SANITIZE AND NOT TARNWICK_FUZZ)
  set(manuals tarnwick "build keyword-focused web pages out of search results" --help)
  if(TARGET tarnwick-cli)
    list(APPEND manuals tarnwick-cli "run Tarnwick's commands without a window" --help-all)
  endif()
  while(manuals)
    list(POP_FRONT manuals program summary help_option)
    add_custom_command(OUTPUT ${docs}/${program}.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${docs}
      COMMAND ${HELP2MAN} --no-info --section=1 --name=${summary} --help-option=${help_option}
              --version-option=--version --output=${docs}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${docs}/${program}.1
      DEPENDS ${program} VERBATIM)
    list(APPEND doc_files ${docs}/${program}.1.gz)
    install(FILES ${docs}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endwhile()
else()
  message(STATUS "help2man not found (Debian package help2man), or a sanitized build: "
                 "the manual pages are not built")
endif()
add_custom_target(package-docs ALL DEPENDS ${doc_files})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <dev@tarnwick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Build keyword-focused web pages out of search results")
set(CPACK_PACKAGE_DESCRIPTION "Tarnwick turns a seed keyword into related search terms, harvests\n\
result addresses, fetches each page for its title and description, and writes\n\
numbered HTML pages and a sitemap from a template of your own. With searx\n\
installed, the harvest asks a private search instance that Tarnwick starts on\n\
this machine.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarnwick.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the executables link (Qt, gumbo, the C++ runtime); the Qt
# plugins that load at run time (xcb, TLS) ship in those same Qt packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The harvest's default source is a searx instance Tarnwick starts itself; the other sources
# and every other command work without it, so it is recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS searx)
include(CPack)
