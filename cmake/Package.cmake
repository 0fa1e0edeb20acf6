# The Debian package, built with CPack's DEB generator by scripts/package.sh
# (quadrivo_<version>_<architecture>.deb). dpkg-shlibdeps finds the
# libraries the program links; Depends adds what it loads at run time
# without linking it: the platform plugins and Qt's Italian translations.
set(CPACK_PACKAGE_NAME quadrivo)
set(CPACK_PACKAGE_VENDOR "The Quadrivo developers")
set(CPACK_PACKAGE_CONTACT "The Quadrivo developers <quadrivo@quadrivo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "score statistics for an alliance of the game Zorva")
set(CPACK_PACKAGE_DESCRIPTION "\
Quadrivo keeps score statistics for an alliance of the online game Zorva.
At the start and at the end of a period the alliance leader pastes the
member list, as the game shows it, into the program. Quadrivo works out
for each member the change in points and in percent, shows the ranking
sorted by either change, and builds a plain-text report to copy to the
clipboard.
.
Started from the application menu, Quadrivo keeps its files in the folder
Quadrivo in the user's home folder. The interface is in Italian.")
# The installed paths written into the launcher and the desktop entry come
# from the configure-time prefix, so the package uses the same one.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")

include(CPack)
