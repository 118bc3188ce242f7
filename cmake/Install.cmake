# Installing as a desktop program: the program folder <prefix>/lib/media holds what build/bin holds for running
# (the program, the grid library, the manifest and the skin; their rules sit beside their targets and use
# MEDIA_INSTALL_DIR), <prefix>/bin/media starts it, and the desktop finds its entry, icons, AppStream data and
# manual page under <prefix>/share. `cpack` in the build folder makes the Debian package of the same files.
# Included before the sub-folders, so that their install rules see the folder and the component.

set(MEDIA_INSTALL_DIR lib/media)
# One component for every rule, which `make install`, the package and the tests install by name.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME media)

# The launcher: a relative link, since the program finds its folder by resolving its own path.
set(media_launcher ${CMAKE_BINARY_DIR}/launcher/media)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${MEDIA_INSTALL_DIR}/media ${media_launcher} SYMBOLIC)
install(FILES ${media_launcher} DESTINATION bin)

# The player's names and version, from the one header the program takes them from too.
file(STRINGS ${CMAKE_SOURCE_DIR}/media/core/ProgramIdentity.h identity REGEX "^inline constexpr char k[A-Za-z]+\\[\\] = ")
foreach(line IN LISTS identity)
  string(REGEX REPLACE "^inline constexpr char k([A-Za-z]+)\\[\\] = \"([^\"]*)\";.*" "\\1" key "${line}")
  string(REGEX REPLACE "^inline constexpr char k([A-Za-z]+)\\[\\] = \"([^\"]*)\";.*" "\\2" value "${line}")
  set(media_identity_${key} "${value}")
endforeach()
set(MEDIA_DISPLAY_NAME ${media_identity_DisplayName})
set(MEDIA_APPLICATION_ID ${media_identity_ApplicationId})
if(NOT media_identity_Version STREQUAL PROJECT_VERSION OR NOT MEDIA_DISPLAY_NAME OR NOT MEDIA_APPLICATION_ID)
  message(FATAL_ERROR "media/core/ProgramIdentity.h (version ${media_identity_Version}) and the project "
                      "(version ${PROJECT_VERSION}) disagree, or the header lost a name")
endif()
# Who answers for the package: its Maintainer field, its changelog and its copyright file.
set(MEDIA_MAINTAINER "Seed c0ff246a maintainers <maintainers@users.noreply.c-seed-c0ff246a.example>")

# The menu entry (whose Exec names the launcher by the prefix's path) and the marker of a system-wide install are
# written when the prefix is known: InstallTime.cmake.
install(CODE "
  set(MEDIA_BINARY_DIR \"${CMAKE_BINARY_DIR}\")
  set(MEDIA_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
  set(MEDIA_INSTALL_DIR \"${MEDIA_INSTALL_DIR}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/InstallTime.cmake\")")
# The AppStream data, named after the application id.
set(media_metainfo ${CMAKE_BINARY_DIR}/dist/${MEDIA_APPLICATION_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/dist/metainfo.xml.in ${media_metainfo} @ONLY)
install(FILES ${media_metainfo} DESTINATION share/metainfo)

# The licence and the history, where Debian keeps them (the changelog compressed, -n: the same bytes every build).
set(media_doc ${CMAKE_BINARY_DIR}/doc)
configure_file(${CMAKE_SOURCE_DIR}/dist/debian/copyright.in ${media_doc}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/debian/changelog.in ${media_doc}/changelog @ONLY)
add_custom_command(
  OUTPUT ${media_doc}/changelog.gz
  COMMAND gzip -9nkf ${media_doc}/changelog
  DEPENDS ${media_doc}/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${media_doc}/changelog.gz)
install(FILES ${media_doc}/copyright ${media_doc}/changelog.gz DESTINATION share/doc/media)

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
set(CPACK_PACKAGE_CONTACT "${MEDIA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MEDIA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned audio player with a playlist and lyrics")
# The long description, in lines Debian's tools take as they are (CPack puts the summary above it).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${MEDIA_DISPLAY_NAME} plays MP3, WMA, WAV, FLAC, Ogg Vorbis, Opus, M4A and MIDI
files from a playlist, with a skinned main window, a playlist window and a
lyrics window that follows the song. Its interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};media;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# dpkg-shlibdeps finds the libraries the program, the grid and the decoders' plugin link: among them libav's codecs
# and formats (WMA, Monkey's Audio, AAC, AIFF) and fluidsynth (MIDI, which depends on a General MIDI sound font).
# These are what GStreamer loads by name at run time to play the rest of the formats the player lists (MP3, WAV, FLAC,
# WavPack and the MP4 and AVI containers in -good; Vorbis and Opus in -base), a sound output that works without a
# sound server (ALSA), Qt's X11 platform and the Chinese font of every caption.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-alsa, qt6-qpa-plugins, fonts-wqy-microhei")
# Qt's own texts in Chinese: without them Qt's dialog buttons read in English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# A fuller General MIDI sound font than the small one fluidsynth depends on.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fluid-soundfont-gm")
# Our own maintainer scripts: CPack would otherwise run ldconfig for the grid library, which is private to the
# program's folder and loaded by path.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_SOURCE_DIR}/dist/debian/postinst;${CMAKE_SOURCE_DIR}/dist/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
