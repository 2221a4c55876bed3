# The Debian package (cpack -G DEB): krv, krt and dwlog in /usr/bin, the
# simulators (for --demo, not for the user's PATH) in /usr/lib/dashwright,
# the shipped data in /usr/share/dashwright, the README, the manuals, the
# copyright and the changelog in /usr/share/doc/dashwright, the man pages,
# desktop entries, AppStream metainfo and icons for the manager and the
# trainer. Installed, the program folder is not writable, so the data folder
# is the user's XDG data folder; the programs find countries.txt in
# ../share/dashwright and the simulators in ../lib/dashwright.
include(GNUInstallDirs)
# Whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(DW_USER_PROGRAMS krv krt dwlog)
set(DW_HELPER_PROGRAMS dashwright-sim dashwright-radio)
# Every library is static or the system's: no run path to rewrite.
set_target_properties(${DW_USER_PROGRAMS} ${DW_HELPER_PROGRAMS} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${DW_USER_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Not CMAKE_INSTALL_LIBDIR: that turns multiarch with prefix /usr, and the
# programs look in ../lib/dashwright.
install(TARGETS ${DW_HELPER_PROGRAMS} RUNTIME DESTINATION lib/dashwright)
# Stripped (cpack), they also lose the compiler's .comment, as Debian's
# own packages do.
set(DW_INSTALLED_PROGRAMS)
foreach(program ${DW_USER_PROGRAMS})
    list(APPEND DW_INSTALLED_PROGRAMS ${CMAKE_INSTALL_BINDIR}/${program})
endforeach()
foreach(program ${DW_HELPER_PROGRAMS})
    list(APPEND DW_INSTALLED_PROGRAMS lib/dashwright/${program})
endforeach()
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${DW_INSTALLED_PROGRAMS})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()")

set(DW_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/dashwright)
install(FILES ${PROJECT_SOURCE_DIR}/data/countries.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/dashwright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${DW_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME dashwright)
install(FILES ${PROJECT_SOURCE_DIR}/docs/manual/krv.md ${PROJECT_SOURCE_DIR}/docs/manual/krt.md
        DESTINATION ${DW_DOCDIR}/manual)
foreach(id org.dashwright.krv org.dashwright.krt)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endforeach()

set(CPACK_PACKAGE_NAME dashwright)
set(CPACK_PACKAGE_VENDOR "Dashwright")
set(CPACK_PACKAGE_CONTACT "The Dashwright developers <developers@dashwright.org>")
# A Debian revision: the changelog is the packaging's (changelog.Debian).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(DW_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})

# Debian wants the man pages and the changelog compressed at the highest
# level and without a time stamp (-n), so that two builds give one package.
# Compressed at install time: cpack finds them whichever targets were built.
find_program(DW_GZIP gzip REQUIRED)
set(DW_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${DW_PACKAGE_DIR})
# The date honours SOURCE_DATE_EPOCH.
string(TIMESTAMP DW_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in ${DW_PACKAGE_DIR}/changelog.Debian @ONLY)
function(dw_install_gzipped file destination)
    get_filename_component(name ${file} NAME)
    set(gz ${DW_PACKAGE_DIR}/${name}.gz)
    install(CODE "execute_process(COMMAND \"${DW_GZIP}\" -9nc \"${file}\" OUTPUT_FILE \"${gz}\" COMMAND_ERROR_IS_FATAL ANY)")
    install(FILES ${gz} DESTINATION ${destination})
endfunction()
dw_install_gzipped(${DW_PACKAGE_DIR}/changelog.Debian ${DW_DOCDIR})
foreach(page krv krt dwlog)
    dw_install_gzipped(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manager and trainer programs for the Dashwright Morse keyer")
# Lines as Debian shows them: at most 80 columns, two leading spaces keep a
# list as it is.
set(CPACK_PACKAGE_DESCRIPTION "The Dashwright is a stand-alone Morse code (CW) keyer on a serial port.
This package holds its desktop companion programs:
  - krv, the Dashwright Manager: a live monitor of what the keyer keys and
    decodes, typed text to send, QSO entry with automatic logging, the
    keyer's configuration, profiles and messages, log transfers with ADIF
    import and export, eQSL and LoTW, remote keying over TCP, keying from
    contest loggers, Elecraft and Hamlib radios, firmware loading;
  - krt, Dashtutor, the Dashwright trainer: the trainer keyer's
    configuration, random lessons and word lists loaded into the keyer,
    and CW over IP between two trainers;
  - dwlog, the log formats on the command line: ADIF import and export,
    list export and a backup of the keyer's log.
A simulated keyer and a simulated radio let the programs run without a
keyer (krv --demo).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# The Qt libraries and the rest found from the programs' own links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plug-ins no program links: the windows' platform, the SVG window icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avrdude, libhamlib-utils")
include(CPack)

# The trainer's shipped word and phrase lists, beside countries.txt (the
# trainer reads them from ../share/dashwright when installed).
install(FILES ${PROJECT_SOURCE_DIR}/data/cwabbreviations.txt ${PROJECT_SOURCE_DIR}/data/qsophrases.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/dashwright)
