# The installed files and the Debian package: build first, then cpack in the build folder.
# cpack packs what was built instead of checking every target (tests, bench) again.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS vireo vireo-cli k5sim RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vireo.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vireo.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vireo.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vireo-cli.bash-completion DESTINATION share/bash-completion/completions
        RENAME vireo-cli)
# The manual page is made from the program's own --help and --version.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/vireo-cli.1.gz
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/command-options.sh $<TARGET_FILE:vireo-cli> > ${CMAKE_BINARY_DIR}/commands.h2m
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${HELP2MAN} --no-info --no-discard-stderr
            --include=${CMAKE_CURRENT_LIST_DIR}/vireo-cli.h2m --include=${CMAKE_BINARY_DIR}/commands.h2m
            --output=${CMAKE_BINARY_DIR}/vireo-cli.1 $<TARGET_FILE:vireo-cli>
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/vireo-cli.1
    DEPENDS vireo-cli ${CMAKE_CURRENT_LIST_DIR}/vireo-cli.h2m ${CMAKE_CURRENT_LIST_DIR}/command-options.sh
    VERBATIM)
  add_custom_target(vireo-cli-manual ALL DEPENDS ${CMAKE_BINARY_DIR}/vireo-cli.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/vireo-cli.1.gz DESTINATION share/man/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vireo)
set(CPACK_PACKAGE_VENDOR "VIREO developers")
set(CPACK_PACKAGE_CONTACT "VIREO developers <vireo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for K5 modular remote I/O units")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VIREO identifies a K5 remote I/O unit on a serial port, reads its settings into the\n\
page of its I/O module kind, checks and writes edited settings back, monitors live\n\
values with a trend and a communication log, and edits the network base unit.\n\
The package also holds k5sim, a simulated unit on a pseudo-terminal.\n\
.\n\
To open serial ports your user must be in the dialout group:\n\
sudo usermod -aG dialout $USER, then log in again.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Named rather than found by dpkg-shlibdeps, which takes seconds over Qt's symbol files; the package
# test checks that every library the programs link comes from a package named here. The platform
# plugins are loaded at run time, so no tool would find them.
string(REGEX MATCH "^[0-9]+\\.[0-9]+" _qt_min "${Qt6_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), libqt6core6 (>= ${_qt_min}), libqt6gui6 (>= ${_qt_min}), \
libqt6widgets6 (>= ${_qt_min}), libqt6serialport6 (>= ${_qt_min}), libqt6network6 (>= ${_qt_min}), libqt6charts6 (>= ${_qt_min}), qt6-qpa-plugins")
include(CPack)
