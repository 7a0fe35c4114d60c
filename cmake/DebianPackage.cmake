# The Debian package, made by CPack from the installation:
#
#   cmake --build --preset default --target package
#
# writes build/kestro_VERSION_ARCH.deb. Its dependencies are the ones
# dpkg-shlibdeps finds for the two programs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestro)
set(CPACK_PACKAGE_VENDOR "Kestro Pro developers")
set(CPACK_PACKAGE_CONTACT "${KESTRO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalog of removable media, drives and folders")
# The long description, in lines short enough for a terminal.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kestro Pro catalogues removable media and drives (USB sticks, memory cards,"
  "CDs and DVDs, floppies, network shares, any folder), so that they can be"
  "browsed and searched while they sit in a drawer. It records every folder and"
  "file of a volume in a catalog file, one SQLite database. Volumes can be"
  "grouped into categories and described, searched by name, date, size and"
  "description, and exported as delimited text."
  "."
  "The package holds the desktop program kestro and kestro-cli, which does the"
  "same catalog work without a display.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders and files as Debian wants them, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
