# Installing and packaging.
#
# Where things go depends on the prefix, decided when installing: under
# /usr, the distribution's own place, the game goes where Debian puts games
# (the binary in /usr/games, its data in /usr/share/games/quarvell); under
# any other prefix (~/.local, /usr/local, /opt/quarvell...) in PREFIX/bin
# and PREFIX/share/quarvell. The binary finds its data from where it is in
# either layout. Everything else goes where desktops and software centres
# look for it: the desktop entry (naming the installed binary by its full
# path, so it starts even where the prefix is not on the PATH), the icons in
# hicolor, the metainfo, the manual page, the bash completion of the
# options; the README, copyright and changelog in share/doc/quarvell.
#
#   cmake --install build/release --prefix ~/.local
#   (cd build/release && cpack -G DEB)     # quarvell_VERSION_ARCH.deb, for /usr
#
# Any build that made the game and its data can be installed, the one of
# ./scripts/play.sh too: the compressed manual page and changelog are made
# with the binary (the dependency below).

# The project's web address and software-centre id: the metainfo's
# screenshots are published under QV_WEB_URL/screenshots/ (the build takes
# them, in build/.../screenshots). Both are placeholders on a reserved
# domain until the game has a home.
set(QV_WEB_URL "https://quarvell.example" CACHE STRING "The game's web address")
set(QV_APP_ID "example.quarvell.Quarvell" CACHE STRING "The game's AppStream id (reverse DNS)")
# Who answers for the package: its Maintainer and the changelog's signature.
set(QV_PACKAGE_MAINTAINER "QUARVELL developers <maintainers@quarvell.example>"
    CACHE STRING "Who answers for the package: name <address>")
# The release: its date names it in the metainfo, the manual and the changelog.
set(QV_RELEASE_DATE "2026-12-08")
set(QV_RELEASE_MONTH "December 2026")
set(QV_RELEASE_RFC2822 "Tue, 08 Dec 2026 00:00:00 +0000")

set(QV_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(QV_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
configure_file(${QV_PACKAGING_DIR}/quarvell.metainfo.xml.in
               ${QV_PACKAGING_OUT}/${QV_APP_ID}.metainfo.xml @ONLY)
configure_file(${QV_PACKAGING_DIR}/quarvell.6.in ${QV_PACKAGING_OUT}/quarvell.6 @ONLY)
configure_file(${QV_PACKAGING_DIR}/changelog.in ${QV_PACKAGING_OUT}/changelog @ONLY)
# Debian wants both compressed, and with no time stamp (gzip -n) so that a
# rebuild gives the same bytes.
foreach(file quarvell.6 changelog)
  add_custom_command(
    OUTPUT ${QV_PACKAGING_OUT}/${file}.gz
    COMMAND gzip -9n -c ${QV_PACKAGING_OUT}/${file} > ${QV_PACKAGING_OUT}/${file}.gz
    DEPENDS ${QV_PACKAGING_OUT}/${file})
endforeach()
add_custom_target(packaging_files ALL
  DEPENDS ${QV_PACKAGING_OUT}/quarvell.6.gz ${QV_PACKAGING_OUT}/changelog.gz)
add_dependencies(quarvell packaging_files)

# The layout, chosen by the prefix at install time.
install(CODE [[
  if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(QV_BINDIR "games")
    set(QV_DATADIR "share/games/quarvell")
  else()
    set(QV_BINDIR "bin")
    set(QV_DATADIR "share/quarvell")
  endif()
]])
install(CODE "
  file(INSTALL \"$<TARGET_FILE:quarvell>\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${QV_BINDIR}\"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${QV_BINDIR}/quarvell\")
  endif()
  file(INSTALL \"${QV_GAME_DIR}/\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${QV_DATADIR}\"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
       PATTERN quarvell EXCLUDE PATTERN .assets-stamp EXCLUDE)
  set(QV_INSTALLED_BINARY \"\${CMAKE_INSTALL_PREFIX}/\${QV_BINDIR}/quarvell\")
  configure_file(\"${QV_PACKAGING_DIR}/quarvell.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/quarvell.desktop\" @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/quarvell.desktop\")
")
foreach(size 32 64 128 256)
  install(FILES ${QV_ICON_DIR}/quarvell-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quarvell.png)
endforeach()
install(FILES ${QV_PACKAGING_OUT}/${QV_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${QV_PACKAGING_OUT}/quarvell.6.gz DESTINATION share/man/man6)
install(FILES ${QV_PACKAGING_DIR}/quarvell.bash-completion
        DESTINATION share/bash-completion/completions RENAME quarvell)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${QV_PACKAGING_DIR}/copyright
        ${QV_PACKAGING_OUT}/changelog.gz DESTINATION share/doc/quarvell)

# The Debian package, from the rules above with the prefix /usr.
set(CPACK_PACKAGE_NAME quarvell)
set(CPACK_PACKAGE_VENDOR "The QUARVELL developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade flying shooter over a turning perspective ground")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Fly a fighter over six stages of enemy waves: a perspective ground that
turns with your ship, clouds drifting over it, a radar and a high-score
table, in sharp 320 x 200 pixels of 256 colours at any whole-number scale
of the desktop. Three ships, the six stages as one campaign or one at a
time, keys that can all be changed, gamepads, and games recorded and
replayed exactly.")
set(CPACK_PACKAGE_CONTACT "${QV_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QV_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QV_WEB_URL}")
# The libraries it needs, read from the binary by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Installed into /usr with DESTDIR, so the rules above see the real prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
