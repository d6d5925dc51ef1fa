# The Debian package: `cpack --config <build folder>/CPackConfig.cmake` after a build (scripts/package.sh).
# Its dependencies are found by dpkg-shlibdeps from the libraries the program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "The VELKOR developers")
set(CPACK_PACKAGE_CONTACT "The VELKOR developers <velkor@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "panel that keeps two radios or two VFOs in step")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velkor.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins (the X11 and Wayland ones) at run time, where dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The synopsis is the summary above; CPack indents these lines and turns the empty one into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VELKOR is a small panel for radio amateurs who work two VFOs or two radios
in contests, or who keep a receiver (an SDR) in step with a transceiver. It
copies frequency and mode A>B, B>A, swaps them, keeps one rig tracking the
other, and applies a signed offset of up to 2000 Hz.

It drives any radio Hamlib knows, radios shared by rigctld, or Hamlib's
Dummy rig, which a new user gets at once.")
include(CPack)
