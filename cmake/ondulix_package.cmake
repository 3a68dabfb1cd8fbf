# The Debian package, made with `cpack -G DEB` in the build folder (scripts/package).
# dpkg-shlibdeps finds the libraries the programs link, Qt's among them; the dependencies below
# are what it cannot see: the SVG image and icon plugins (libqt6svg6) that Qt loads at run time for
# the toolbar pictures and the window icon (the main program does not link Qt SVG itself), the
# Arial-compatible label font, and xdg-utils, which opens the help pages.

set(CPACK_PACKAGE_NAME ondulix)
set(CPACK_PACKAGE_VENDOR "Orvantic")
set(CPACK_PACKAGE_CONTACT "Orvantic <ondulix@orvantic.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "how two perpendicular component waves add up to a polarised wave")
# The long description as it stands in the package's control file, already in lines of the width
# Debian's tools show; CPack does not wrap it.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Ondulix is a desktop program for teaching polarisation. The teacher sets the\n"
    "amplitudes of a horizontal and a vertical component wave and the phase shift\n"
    "between them; the program draws the two waves, their sum, the field vector\n"
    "and the ellipse its tip traces, in a 3D view seen from an adjustable azimuth\n"
    "and elevation, at a true scale 1 : N. Time runs through one period, the view\n"
    "turns by itself or with the mouse, and the drawing can be copied, saved and\n"
    "printed. The user interface speaks English and German.\n"
    "\n"
    "ondulix-render draws the same scene into PNG, SVG, EMF or PDF files for\n"
    "worksheets, without a display.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_GENERATOR DEB)
include(CPack)
