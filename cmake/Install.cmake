# Installing as a desktop program: the program folder <prefix>/lib/media holds what build/bin holds for running
# (the program, the grid library, the manifest and the skin; their rules sit beside their targets and use
# MEDIA_INSTALL_DIR), <prefix>/bin/media starts it, and the desktop finds its entry, icons, AppStream data and
# manual page under <prefix>/share. `cpack` in the build folder makes the Debian package of the same files.
# Included before the sub-folders, so that their install rules see the folder and the component.

set(MEDIA_INSTALL_DIR lib/media)
# One component for every rule: the package installs it by name, which keeps the package build from overwriting
# install_manifest.txt, the record of `make install` that `make uninstall` reads.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME media)

# The launcher: a relative link, since the program finds its folder by resolving its own path.
set(media_launcher ${CMAKE_BINARY_DIR}/launcher/media)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${MEDIA_INSTALL_DIR}/media ${media_launcher} SYMBOLIC)
install(FILES ${media_launcher} DESTINATION bin)

# The entry starts the launcher by its full path: a per-user prefix's bin folder is on PATH only from the next login.
# The prefix is known only when installing (make install PREFIX=..., the package's /usr), so the entry is written then.
set(media_entry ${CMAKE_BINARY_DIR}/dist/media.desktop)
install(CODE "
  file(READ \"${CMAKE_SOURCE_DIR}/dist/media.desktop\" entry)
  string(REPLACE \"Exec=media \" \"Exec=\${CMAKE_INSTALL_PREFIX}/bin/media \" entry \"\${entry}\")
  file(WRITE \"${media_entry}\" \"\${entry}\")")
install(FILES ${media_entry} DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/media.metainfo.xml DESTINATION share/metainfo)

# The icon theme's pictures, painted by the skin painter at every size the program draws its icon; the sizes live
# in the painting code only, so the whole folder is written and installed.
set(media_icons ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
  OUTPUT ${media_icons}.stamp
  COMMAND ${CMAKE_COMMAND} -E remove_directory ${media_icons}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:skin-painter> --icons ${media_icons}
  COMMAND ${CMAKE_COMMAND} -E touch ${media_icons}.stamp
  DEPENDS skin-painter
  COMMENT "Painting the program's icons"
  VERBATIM)
add_custom_target(program-icons ALL DEPENDS ${media_icons}.stamp)
install(DIRECTORY ${media_icons}/ DESTINATION share/icons)

# The manual page, compressed as Debian wants it (-n: no name or time stamp, so the bytes do not change).
set(media_manual ${CMAKE_BINARY_DIR}/man/media.1)
add_custom_command(
  OUTPUT ${media_manual}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/dist/media.1 ${media_manual}
  COMMAND gzip -9nf ${media_manual}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/media.1
  VERBATIM)
add_custom_target(manual ALL DEPENDS ${media_manual}.gz)
install(FILES ${media_manual}.gz DESTINATION share/man/man1)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME media)
set(CPACK_PACKAGE_CONTACT "Morvane-Tavri developers <media@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned audio player with a playlist and lyrics")
set(CPACK_PACKAGE_DESCRIPTION
  "Plays MP3, WMA, WAV, FLAC, Ogg Vorbis, Opus, M4A and MIDI files from a playlist, with a skinned main window, a playlist window and a lyrics window that follows the song.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};media;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# dpkg-shlibdeps finds the libraries the program and the grid link; these are what they load by name at run time:
# GStreamer's decoders and sinks, the MIDI sound font, the Chinese captions' font, Qt's platform plugins and
# Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, fluid-soundfont-gm, fonts-wqy-microhei, qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)
