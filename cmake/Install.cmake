# What `cmake --install` puts where (GNUInstallDirs): the program, the
# example files it seeds the user's folder with, and on Linux desktops the
# menu entry, its launcher, the AppStream metainfo and the icons. Tests,
# the benchmark and the fuzz targets have no install rules.
include(GNUInstallDirs)

install(TARGETS quadrivo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
        ${PROJECT_SOURCE_DIR}/examples/Gradi.txt
        ${PROJECT_SOURCE_DIR}/examples/Esempio1.txt
        ${PROJECT_SOURCE_DIR}/examples/Esempio2.txt
    DESTINATION ${CMAKE_INSTALL_DATADIR}/quadrivo)

if(UNIX AND NOT APPLE)
    set(linux ${PROJECT_SOURCE_DIR}/packaging/linux)
    set(generated ${PROJECT_BINARY_DIR}/packaging)

    # The launcher and the desktop entry name installed paths, so the
    # prefix given at configure time is the one they are installed under.
    set(QUADRIVO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}/quadrivo)
    set(QUADRIVO_EXAMPLES ${CMAKE_INSTALL_FULL_DATADIR}/quadrivo)
    set(QUADRIVO_LAUNCHER ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quadrivo/quadrivo-launcher)
    configure_file(${linux}/quadrivo-launcher.in ${generated}/quadrivo-launcher @ONLY)
    configure_file(${linux}/quadrivo.desktop.in ${generated}/${QUADRIVO_APP_ID}.desktop @ONLY)
    configure_file(${linux}/quadrivo.metainfo.xml.in ${generated}/${QUADRIVO_APP_ID}.metainfo.xml @ONLY)

    # The metainfo names the newest release; it must be this one.
    file(READ ${linux}/quadrivo.metainfo.xml.in metainfo)
    string(REGEX MATCH "<release version=\"([^\"]*)\"" release "${metainfo}")
    if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "packaging/linux/quadrivo.metainfo.xml.in: the newest release is "
            "'${CMAKE_MATCH_1}', the project's version is '${PROJECT_VERSION}'")
    endif()

    install(PROGRAMS ${generated}/quadrivo-launcher DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quadrivo)
    install(FILES ${generated}/${QUADRIVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${generated}/${QUADRIVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${linux}/icons/quadrivo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUADRIVO_APP_ID}.svg)
    foreach(size 32 48 64 128 256)
        install(FILES ${linux}/icons/quadrivo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUADRIVO_APP_ID}.png)
    endforeach()
    install(FILES ${linux}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quadrivo)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
