# Install rules and the Debian package (CPack DEB), made by scripts/package.
#
# The desk program reads Tassel.mdb from its own folder, so both programs live in a private
# folder, /usr/lib/convodesk, with links in /usr/bin. The database is variable data: it lives
# in /var/lib/convodesk and the private folder holds a link to it. The maintainer scripts in
# packaging/debian copy the demo there on first install and never touch a user's file.

# 1.0.11 -> 1.00.0011, the version the programs show.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_length)
string(LENGTH "${PROJECT_VERSION_PATCH}" patch_length)
math(EXPR minor_pad "2 - ${minor_length}")
math(EXPR patch_pad "4 - ${patch_length}")
string(REPEAT "0" ${minor_pad} minor_zeros)
string(REPEAT "0" ${patch_pad} patch_zeros)
set(CONVODESK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${minor_zeros}${PROJECT_VERSION_MINOR}.${patch_zeros}${PROJECT_VERSION_PATCH}")

set(CONVODESK_PACKAGE_ID "org.convodesk.convodesk" CACHE STRING "Desktop and AppStream identifier")
set(CONVODESK_HOMEPAGE "https://convodesk.org/" CACHE STRING "Project home page")
set(CONVODESK_MAINTAINER "convodesk maintainers <maintainers@convodesk.org>" CACHE STRING "Package maintainer")

set(PRIVATE_DIR lib/convodesk)
set(DATA_DIR /var/lib/convodesk)
set(PKG_SRC ${CMAKE_SOURCE_DIR}/packaging)
set(PKG_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${PKG_OUT}/links)

install(TARGETS convodesk convodesk-db RUNTIME DESTINATION ${PRIVATE_DIR})
# Debian's hardening for the installed programs: a read-only relocation table, bound at start.
set_property(TARGET convodesk convodesk-db APPEND PROPERTY LINK_OPTIONS -Wl,-z,relro -Wl,-z,now)

# Links are made here and installed as links.
file(CREATE_LINK ../${PRIVATE_DIR}/convodesk ${PKG_OUT}/links/convodesk SYMBOLIC)
file(CREATE_LINK ../${PRIVATE_DIR}/convodesk-db ${PKG_OUT}/links/convodesk-db SYMBOLIC)
file(CREATE_LINK ${DATA_DIR}/Tassel.mdb ${PKG_OUT}/links/Tassel.mdb SYMBOLIC)
install(FILES ${PKG_OUT}/links/convodesk ${PKG_OUT}/links/convodesk-db DESTINATION bin)
install(FILES ${PKG_OUT}/links/Tassel.mdb DESTINATION ${PRIVATE_DIR})

install(FILES ${CMAKE_BINARY_DIR}/Tassel.mdb DESTINATION share/convodesk/demo)

# Desktop integration.
set(DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
configure_file(${DESKTOP_DIR}/convodesk.desktop.in ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.desktop @ONLY)
configure_file(${DESKTOP_DIR}/convodesk.metainfo.xml.in ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.metainfo.xml @ONLY)
install(FILES ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.desktop DESTINATION share/applications)
install(FILES ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${DESKTOP_DIR}/icons/${size}x${size}/convodesk.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/artwork/program-icon.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME convodesk.svg)
install(FILES ${DESKTOP_DIR}/convodesk-db.bash-completion
        DESTINATION share/bash-completion/completions RENAME convodesk-db)

# Man pages and the changelog, compressed as Debian's policy asks (gzip -9n, no time stamp).
set(compressed)
foreach(page convodesk.1 convodesk-db.1)
  add_custom_command(OUTPUT ${PKG_OUT}/${page}.gz
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/resources/man/${page} > ${PKG_OUT}/${page}.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/${page} VERBATIM)
  list(APPEND compressed ${PKG_OUT}/${page}.gz)
  install(FILES ${PKG_OUT}/${page}.gz DESTINATION share/man/man1)
endforeach()
add_custom_command(OUTPUT ${PKG_OUT}/changelog.gz
                   COMMAND gzip -9nc ${PKG_SRC}/debian/changelog > ${PKG_OUT}/changelog.gz
                   DEPENDS ${PKG_SRC}/debian/changelog VERBATIM)
list(APPEND compressed ${PKG_OUT}/changelog.gz)
add_custom_target(package_files ALL DEPENDS ${compressed})
install(FILES ${PKG_OUT}/changelog.gz ${PKG_SRC}/debian/copyright DESTINATION share/doc/convodesk)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME convodesk)
set(CPACK_PACKAGE_VERSION ${CONVODESK_PACKAGE_VERSION})
set(CPACK_PACKAGE_CONTACT "${CONVODESK_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graduation desk: look up graduates by scanned ID")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The graduation (convocation) desk program of a training institution's branch.
An operator, or a barcode scanner that types like a keyboard, enters a
graduate's 12-character ID and the program shows the name and programme in
large type. It also searches graduates and lists graduates and programmes.
.
The data is one read-only Access (Jet 4) file, /var/lib/convodesk/Tassel.mdb.
The command-line tool convodesk-db builds such a file from CSV files, checks
a file and puts it in place.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${CONVODESK_PACKAGE_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CONVODESK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-open-sans, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PKG_SRC}/debian/postinst ${PKG_SRC}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
