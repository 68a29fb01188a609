# The Debian package (scripts/package.sh): lunaret_<version>_<architecture>.deb with everything
# the install rules put under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lunaret)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Lunaret developers <hello@lunaret.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://lunaret.example/)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "calendar for tracking the menstrual cycle
Lunaret keeps the first day of the current menstruation and the length of the
cycle, and shows when the next one is due, with a table of past cycles. Several
people can share one computer account, each with her own name and password.")
# The libraries the program links come from dpkg-shlibdeps. Qt loads its platform plugin (xcb,
# for X11 and XWayland) only at run time, where dpkg-shlibdeps cannot see it, and libqt6gui6
# merely recommends qt6-qpa-plugins, which holds it: without it the program cannot start.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
