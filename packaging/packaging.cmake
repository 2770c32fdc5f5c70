# Installs the game the way a desktop program is installed, and packs that
# installation as a Debian package.
#
#   <prefix>/lib/rolvanger/           the program folder: the executable and
#                                     every media file it reads from there
#   <prefix>/games/rolvanger          the command: a symlink into the program
#                                     folder; the program finds its media
#                                     through the real folder of its executable
#   <prefix>/share/applications/      the menu entry, naming the command by
#                                     its full path
#   <prefix>/share/metainfo/          what software centres show
#   <prefix>/share/icons/hicolor/     the strawberry at 32, 256 and scalable
#   <prefix>/share/man/man6/          the manual page
#   <prefix>/share/doc/rolvanger/     copyright and changelog
#
# `cmake --build <build> --target package` makes rolvanger_<version>_<arch>.deb
# in the build folder. The test executables are not installed; the package
# is checked by tests/packaging.

set(ROLVANGER_INSTALL_PROGRAM_DIR lib/rolvanger)
set(_packaging_src_dir ${CMAKE_CURRENT_LIST_DIR})
set(_packaging_build_dir ${CMAKE_BINARY_DIR}/packaging)

# Debian wants 0755 directories whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS rolvanger RUNTIME DESTINATION ${ROLVANGER_INSTALL_PROGRAM_DIR})
install(FILES ${ROLVANGER_MEDIA_FILES} DESTINATION ${ROLVANGER_INSTALL_PROGRAM_DIR})

# The command is a relative link, so the installed tree may be moved or
# unpacked anywhere. It is a game, so it lives where Debian keeps games.
file(MAKE_DIRECTORY ${_packaging_build_dir})
file(CREATE_LINK ../${ROLVANGER_INSTALL_PROGRAM_DIR}/rolvanger ${_packaging_build_dir}/rolvanger
     SYMBOLIC)
install(FILES ${_packaging_build_dir}/rolvanger DESTINATION games)

# The games folder is on the PATH of a user's login shell, but not of every
# desktop session, nor of root: the menu entry names the command by its full
# path under the prefix it is installed to (/usr in the package).
string(CONFIGURE [[
  set(_entry "@_packaging_build_dir@/entry/rolvanger.desktop")
  file(READ "@_packaging_src_dir@/rolvanger.desktop" _text)
  string(REPLACE "Exec=rolvanger" "Exec=${CMAKE_INSTALL_PREFIX}/games/rolvanger" _text "${_text}")
  file(WRITE "${_entry}" "${_text}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
       DIR_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                       WORLD_READ WORLD_EXECUTE
       FILES "${_entry}")
]] _packaging_install_entry @ONLY)
install(CODE "${_packaging_install_entry}")
install(FILES ${_packaging_src_dir}/org.example.rolvanger.metainfo.xml DESTINATION share/metainfo)

list(GET ROLVANGER_ICON_FILES 0 _icon_32)
list(GET ROLVANGER_ICON_FILES 1 _icon_256)
list(GET ROLVANGER_ICON_FILES 2 _icon_svg)
install(FILES ${_icon_32} DESTINATION share/icons/hicolor/32x32/apps RENAME rolvanger.png)
install(FILES ${_icon_256} DESTINATION share/icons/hicolor/256x256/apps RENAME rolvanger.png)
install(FILES ${_icon_svg} DESTINATION share/icons/hicolor/scalable/apps RENAME rolvanger.svg)

# The manual page and the changelog are shipped compressed, without a name or
# time stamp in the gzip header, so the same sources give the same package.
set(_packaging_gzipped)
foreach(_doc rolvanger.6 changelog)
  set(_gz ${_packaging_build_dir}/gz/${_doc}.gz)
  add_custom_command(
    OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${_packaging_src_dir}/${_doc} ${_packaging_build_dir}/gz/${_doc}
    COMMAND gzip -9nf ${_packaging_build_dir}/gz/${_doc}
    DEPENDS ${_packaging_src_dir}/${_doc}
    VERBATIM)
  list(APPEND _packaging_gzipped ${_gz})
endforeach()
add_custom_target(rolvanger_packaging_docs ALL DEPENDS ${_packaging_gzipped})
install(FILES ${_packaging_build_dir}/gz/rolvanger.6.gz DESTINATION share/man/man6)
install(FILES ${_packaging_build_dir}/gz/changelog.gz ${_packaging_src_dir}/copyright
        DESTINATION share/doc/rolvanger)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rolvanger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rolvanger developers")
set(CPACK_PACKAGE_CONTACT "The Rolvanger developers <dev@rolvanger.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "three-reel fruit machine played with play money")
set(CPACK_PACKAGE_DESCRIPTION
    "Brim's Rolvanger is a single-player, three-reel fruit machine with a small\n"
    "wallet window beside it. Feed coins and notes from the wallet into the\n"
    "machine, pull the lever and watch the reels stop one after another.\n"
    "Matching symbols score points, reels can be held for the next pull, and\n"
    "points turn into credits or back into wallet money.\n"
    "\n"
    "It is a toy: the money is play money, nothing is saved, and every game\n"
    "starts with 10 euro in the wallet.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package's dates are the source's, taken when it is packed.
set(CPACK_PROJECT_CONFIG_FILE ${_packaging_src_dir}/source_date.cmake)
set(CPACK_ROLVANGER_SOURCE_DIR ${CMAKE_SOURCE_DIR})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; the font stands in for the
# Comic Sans MS of the machine's texts and is loaded by name, not linked, and
# libpulse and SDL are loaded by the cue player when sound is first wanted,
# not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue, libpulse0, libsdl2-2.0-0")

include(CPack)
