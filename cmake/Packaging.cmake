# Install rules and the Debian package (CPack DEB), made by scripts/package.
#
# The desk program reads Tassel.mdb from its own folder, so both programs live in a private
# folder, /usr/lib/convodesk, with links in /usr/bin. The database is variable data: it lives
# in /var/lib/convodesk, a folder of the package, and the private folder holds a link to it
# that the maintainer scripts in packaging/debian make (the package does not own it). They
# copy the demo there on first install and never touch a user's file.

set(CONVODESK_PACKAGE_ID "org.convodesk.convodesk" CACHE STRING "Desktop and AppStream identifier")
set(CONVODESK_HOMEPAGE "" CACHE STRING
    "Project home page, ending in /; when set, the AppStream data names it and the screenshots \
under screenshots/ there (publish docs/screenshots)")
set(CONVODESK_MAINTAINER "convodesk packager <packager@example.invalid>" CACHE STRING
    "Package maintainer (name <e-mail>), set by whoever builds and distributes the package")

set(PRIVATE_DIR lib/convodesk)
set(DATA_DIR /var/lib/convodesk)
set(PKG_SRC ${CMAKE_SOURCE_DIR}/packaging)
set(PKG_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${PKG_OUT}/links)

# The programs link only system libraries: no RUNPATH in the installed files. scripts/package
# builds them with Debian's hardening flags; stripping also drops the compiler's .comment notes.
set_target_properties(convodesk convodesk-db PROPERTIES INSTALL_RPATH "")
install(TARGETS convodesk convodesk-db RUNTIME DESTINATION ${PRIVATE_DIR})
if(CMAKE_STRIP)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program convodesk convodesk-db)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PRIVATE_DIR}/\${program}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
endif()

# Links are made here and installed as links.
file(CREATE_LINK ../${PRIVATE_DIR}/convodesk ${PKG_OUT}/links/convodesk SYMBOLIC)
file(CREATE_LINK ../${PRIVATE_DIR}/convodesk-db ${PKG_OUT}/links/convodesk-db SYMBOLIC)
install(FILES ${PKG_OUT}/links/convodesk ${PKG_OUT}/links/convodesk-db DESTINATION bin)
# The (empty) folder of the database, so that dpkg knows its owner.
install(DIRECTORY DESTINATION ${DATA_DIR})

install(FILES ${CMAKE_BINARY_DIR}/Tassel.mdb DESTINATION share/convodesk/demo)

# Desktop integration.
set(DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
configure_file(${DESKTOP_DIR}/convodesk.desktop.in ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.desktop @ONLY)
# Wayland compositors match the program's windows to the menu entry by this name.
target_compile_definitions(convodesk PRIVATE CONVODESK_DESKTOP_ID="${CONVODESK_PACKAGE_ID}")
# Without a home page the AppStream data holds no web address: none that we cannot stand behind.
file(READ ${DESKTOP_DIR}/convodesk.metainfo.xml.in metainfo)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DESKTOP_DIR}/convodesk.metainfo.xml.in)
if(CONVODESK_HOMEPAGE STREQUAL "")
  string(REGEX REPLACE "  <!-- web:[^\n]*\n.*  <!-- end web -->\n" "" metainfo "${metainfo}")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
else()
  string(REGEX REPLACE "  <!-- (end )?web[^\n]*\n" "" metainfo "${metainfo}")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CONVODESK_HOMEPAGE}")
endif()
file(CONFIGURE OUTPUT ${PKG_OUT}/${CONVODESK_PACKAGE_ID}.metainfo.xml CONTENT "${metainfo}" @ONLY)
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
# The changelog names the maintainer; its newest entry must be this version.
file(STRINGS ${PKG_SRC}/debian/changelog.in changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^convodesk \\(${CONVODESK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog.in does not start with version ${CONVODESK_PACKAGE_VERSION}")
endif()
configure_file(${PKG_SRC}/debian/changelog.in ${PKG_OUT}/changelog @ONLY)
add_custom_command(OUTPUT ${PKG_OUT}/changelog.gz
                   COMMAND gzip -9nc ${PKG_OUT}/changelog > ${PKG_OUT}/changelog.gz
                   DEPENDS ${PKG_OUT}/changelog VERBATIM)
list(APPEND compressed ${PKG_OUT}/changelog.gz)
add_custom_target(package_files ALL DEPENDS ${compressed})
install(FILES ${PKG_OUT}/changelog.gz ${PKG_SRC}/debian/copyright ${PKG_SRC}/debian/README.Debian
        DESTINATION share/doc/convodesk)

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
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-open-sans, fonts-dejavu-core")
# The maintainer scripts that handle the database link share its functions.
file(READ ${PKG_SRC}/debian/database-link.sh DATABASE_LINK_FUNCTIONS)
foreach(script preinst postinst prerm)
  configure_file(${PKG_SRC}/debian/${script}.in ${PKG_OUT}/${script} @ONLY)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PKG_OUT}/preinst ${PKG_OUT}/postinst ${PKG_OUT}/prerm
    ${PKG_SRC}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
