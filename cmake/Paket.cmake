# The Debian package: `cpack -G DEB` in a configured build folder makes
# kdformel_<version>_<arch>.deb from the install rules (program, command-line tool and
# its Qt module, desktop entry, file type, icons, help pages, example libraries).
set(CPACK_PACKAGE_NAME kdformel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KALDORA-Projekt")
set(CPACK_PACKAGE_CONTACT "KALDORA-Projekt <formelsammlung@kaldora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collection of mathematical and physical formulas")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "KALDORA Formelsammlung keeps formulas in library files, typesets them in two\n"
  "dimensions (fractions, roots, powers, indices, sums, integrals, Greek letters)\n"
  "and computes them from values typed for their free variables. Formulas are\n"
  "edited, searched, printed and copied as text, picture or spreadsheet formula;\n"
  "a unit converter and tables of constants and symbols are included. The user\n"
  "interface is German. The package also holds kdformel-cli, a command-line tool\n"
  "for the same library files and formulas.")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kaldora.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared libraries come from dpkg-shlibdeps; the window also needs a Qt platform
# plugin (only recommended by Qt) and the fonts the page is typeset with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Install with DESTDIR under the real prefix, so the desktop entry names the program
# where the package puts it, and no desktop cache is written into the package.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
