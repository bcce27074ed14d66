# The Debian package: `cpack -G DEB` in a build folder packs everything `cmake --install` installs,
# under /usr, as huedrane_<version>_amd64.deb. The program finds its plug-ins, helper and manual
# relative to its own folder (<prefix>/bin/..), so the prefix needs no other setting.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huedrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Folders the install creates get these modes whatever the umask of the one who packs.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Huedrane developers <maintainers@users.noreply.c-seed-d58c7a33.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line is the synopsis; CPack indents the rest and turns the empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ink-and-paint program for hand-drawn animation cels
Huedrane colours scanned animation drawings. A scanned key drawing is
imported: its lines become a trace layer and borders in a paint layer.
The painter fills the closed areas with flat colours, recolours pencil
lines, paints an extra layer and exports the cel as a flat picture for
compositing.

The package also holds huedrane-cli, the same engine without windows,
for batch import and export, carrying colours along a cut and checking
cels on render-farm nodes, and a TIFF picture plug-in.")

# dpkg-shlibdeps finds the libraries the binaries link; it cannot see what Qt loads at run time:
# the xcb platform plug-in and the SVG icon engine that draws the tool bar.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# Registering the document type and the menu entry happens through these packages' dpkg triggers on
# /usr/share/mime/packages and /usr/share/applications. The menus are in Japanese; Qt's own texts
# (standard buttons) follow the system's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "shared-mime-info, desktop-file-utils, fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")

include(CPack)
