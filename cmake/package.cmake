# `make package`: a Debian package of what `make install` installs, named
# marvanto_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marvanto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR "The Marvanto developers")
set(CPACK_PACKAGE_CONTACT "The Marvanto developers <marvanto-devel@marvanto.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The long description as the control file wants it: short lines, one
# paragraph after the other.
set(CPACK_PACKAGE_DESCRIPTION [[
Marvanto is the partnership card game of high, low, jack and game as it is
played in Trinidad, with the dealer's kick, begging, hang jack, reneed
penalties and play to 14 or 7 points.

Play with a partner against two computer players, with a friend beside you
at the same machine, in the two-handed Duvanto mode against one computer
player, or with friends over a local network.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Internet games pair their connections at a transit relay; any machine the
# players all reach can run one.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS magic-wormhole-transit-relay)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
