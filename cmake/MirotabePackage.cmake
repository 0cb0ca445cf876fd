# The Debian package: `cpack -G DEB` in a build folder (or `cpack --preset
# release`) writes mirotabe_<version>_<arch>.deb from what `cmake --install`
# installs, under /usr.
set(CPACK_PACKAGE_NAME mirotabe)
set(CPACK_PACKAGE_VENDOR "The Mirotabe developers")
set(CPACK_PACKAGE_CONTACT "${MIROTABE_MAINTAINER}")
# The Homepage field, where the build names a home page.
if(MIROTABE_HOMEPAGE)
  set(CPACK_PACKAGE_HOMEPAGE_URL "${MIROTABE_HOMEPAGE}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lays Japanese text out in vertical writing")
set(CPACK_PACKAGE_DESCRIPTION
    "Mirotabe shows ordinary horizontal Japanese text in vertical writing: every\n"
    "character full-width, each line one column, the columns running from right\n"
    "to left. A replacement table rewrites the text first, and the result can be\n"
    "saved as a Shift_JIS or UTF-8 text file.\n"
    ".\n"
    "The package also holds mirotabe-convert, the same conversion without a\n"
    "window, for scripts and batch jobs.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the machine that builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from dpkg-shlibdeps; what the program needs beyond
# them is the panes' fixed-pitch Japanese font and Qt's Japanese dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n")

include(CPack)
