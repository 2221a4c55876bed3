# The Debian package (cpack -G DEB): the programs in /usr/bin, the shipped
# data in /usr/share/dashwright, the manual in /usr/share/doc/dashwright,
# desktop entries and icons for the manager and the trainer. Installed, the
# program folder is not writable, so the data folder is the user's XDG data
# folder; the programs find countries.txt in ../share/dashwright.
include(GNUInstallDirs)

set(DW_PACKAGED_PROGRAMS krv krt dwlog dashwright-sim dashwright-radio)
# Every library is static or the system's: no run path to rewrite.
set_target_properties(${DW_PACKAGED_PROGRAMS} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${DW_PACKAGED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/countries.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/dashwright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dashwright)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/dashwright-krv.desktop ${PROJECT_SOURCE_DIR}/packaging/dashwright-krt.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/dashwright-krv.svg ${PROJECT_SOURCE_DIR}/packaging/dashwright-krt.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dashwright)
set(CPACK_PACKAGE_VENDOR "Dashwright")
set(CPACK_PACKAGE_CONTACT "Dashwright maintainers <dashwright@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Manager and trainer programs for the Dashwright CW keyer")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# The Qt libraries and the rest found from the programs' own links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows need a platform plug-in, which no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avrdude, libhamlib-utils")
include(CPack)
