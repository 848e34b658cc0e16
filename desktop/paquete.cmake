# The Debian package: `cpack -G DEB` in the build folder writes
# folioteca_<version>_<arch>.deb. The libraries it needs are read from the
# binary (dpkg-shlibdeps); the fonts are named here, because the fixed layouts
# ask for "MS Sans Serif", which Liberation Sans stands in for, and the title
# picture is drawn in DejaVu Serif.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME folioteca)
set(CPACK_PACKAGE_VENDOR "The FOLIOTECA developers")
set(CPACK_PACKAGE_CONTACT "The FOLIOTECA developers <folioteca@folioteca.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "book catalogue on record cards (Spanish interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "FOLIOTECA keeps the catalogue of a book collection as record cards. Each card
holds a number and nine texts: title, author, publisher, date, pages, copies,
code, subject and comment. Cards are added, listed, searched by a piece of
text and opened by number. All cards live in one text file, fichas.dat, in
the directory the program is started from. The interface is in Spanish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
