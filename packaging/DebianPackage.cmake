# The Debian package, made by CPack from the install rules: `cpack -G DEB` in a build folder
# (tools/make-deb configures and builds one). It holds whatever the install rules put in, so a
# new program or manual page needs no change here. The libraries it needs are read from the
# programs by dpkg-shlibdeps; jpegtran is started at run time, so its package is named.
set(CPACK_PACKAGE_NAME pictrove)
set(CPACK_PACKAGE_VENDOR "pictrove developers")
set(CPACK_PACKAGE_CONTACT "${PICTROVE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PICTROVE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PICTROVE_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "download pictures from early PowerShot and IXUS cameras over USB")
# Lines as they stand in the control file's long description, where each gets a leading
# blank: 79 characters at most here, so that none is longer than the 80 Debian allows.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "pictrove lists the pictures of an early USB camera of the PowerShot and IXUS"
       "families (vendor 04a9) with their thumbnails, newest first; downloads a"
       "selection into a folder, turning pictures upright; sets or clears the camera's"
       "downloaded and delete-protected marks; deletes pictures; and reads the camera's"
       "model, owner, storage and power. A udev rule lets the user logged in at the"
       "seat use the camera without root rights. pictrove-demo runs the same window"
       "with a simulated camera; pictrove-cli runs its operations from scripts.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libjpeg-turbo-progs)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst ${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
