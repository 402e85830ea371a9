# The installed game for Linux players: install rules (`make install`, or
# `cmake --install build/default --prefix P` with DESTDIR) and a Debian package
# (`make package`, CPack's DEB generator). Under the prefix:
#
#   games/quarrelo                          the launcher (packaging/quarrelo.in)
#   lib/games/quarrelo/Quarrelo             the game
#   share/games/quarrelo/                   its 18 pictures, 3 sounds and controllers' table (assets/)
#   share/applications/quarrelo.desktop     the desktop entry
#   share/icons/hicolor/NxN/apps/quarrelo.png   icons, 48, 128 and 256 pixels (packaging/icons/)
#   share/man/man6/quarrelo.6.gz            the manual page
#   share/doc/quarrelo/copyright, changelog.gz
#
# The layout is Debian's for games: programs in games/, architecture-bound
# files in lib/games/<package>, the rest in share/games/<package>. No file
# holds the prefix: the launcher finds the others from its own place, so the
# prefix can be chosen when installing and the package plays unpacked
# anywhere.
if(NOT TARGET Quarrelo)
  return()
endif()

set(QUARRELO_LAUNCHER_DIR games)
set(QUARRELO_LAUNCHER_TO_PREFIX ..)
set(QUARRELO_GAME_DIR lib/games/quarrelo)
set(QUARRELO_DATA_DIR share/games/quarrelo)
set(QUARRELO_DOC_DIR share/doc/quarrelo)
set(QUARRELO_MAINTAINER "Quarrelo developers <quarrelo@example.org>"
    CACHE STRING "The Debian package's maintainer, as \"Name <address>\"")

# The changelog's newest entry names the version being packaged.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_top LIMIT_COUNT 1)
string(REPLACE "." "\\." version_pattern ${PROJECT_VERSION})
if(NOT changelog_top MATCHES "^quarrelo \\(${version_pattern}\\) ")
  message(FATAL_ERROR "packaging/changelog begins \"${changelog_top}\": give version ${PROJECT_VERSION} "
                      "an entry at its top")
endif()

set(packaging_out ${PROJECT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quarrelo.in ${packaging_out}/quarrelo @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quarrelo.6.in ${packaging_out}/quarrelo.6 @ONLY)

# Compressed as Debian wants them: the highest level, no name or time stamp.
set(compressed)
foreach(page ${packaging_out}/quarrelo.6 ${PROJECT_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${page} NAME)
  add_custom_command(
    OUTPUT ${packaging_out}/${name}.gz
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${page} ${packaging_out}/${name}.gz
    DEPENDS ${page}
    VERBATIM)
  list(APPEND compressed ${packaging_out}/${name}.gz)
endforeach()
add_custom_target(quarrelo_packaging_files ALL DEPENDS ${compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The game's global offset table read-only once loaded (Debian's hardening
# flags, which a build outside dpkg-buildpackage does not get by itself).
target_link_options(Quarrelo PRIVATE LINKER:-z,relro LINKER:-z,now)

install(PROGRAMS ${packaging_out}/quarrelo DESTINATION ${QUARRELO_LAUNCHER_DIR})
install(TARGETS Quarrelo RUNTIME DESTINATION ${QUARRELO_GAME_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/ DESTINATION ${QUARRELO_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quarrelo.desktop DESTINATION share/applications)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/quarrelo-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quarrelo.png)
endforeach()
install(FILES ${packaging_out}/quarrelo.6.gz DESTINATION share/man/man6)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.gz
        DESTINATION ${QUARRELO_DOC_DIR})

# The Debian package: `cpack --config build/default/CPackConfig.cmake`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarrelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quarrelo developers")
set(CPACK_PACKAGE_CONTACT ${QUARRELO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paper-airplane duel for two players in a classroom")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Two kids face off in a classroom among four desks. Each turns in eight\n"
    "directions, walks forward or backward and throws a paper airplane that\n"
    "flies straight and bounces off the walls and the desks. An airplane that\n"
    "strikes the other kid scores a point for its thrower, and five points win.\n"
    "\n"
    "Two players share one keyboard, or play with up to two game controllers.\n"
    "The game runs full screen in the player's own folder under\n"
    "~/.local/state, where it writes its run log.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
