# Run by `cmake --install` (and by CPack) once the prefix is known: it writes the parts of the install that depend on
# where the program goes. Expects MEDIA_BINARY_DIR, MEDIA_SOURCE_DIR and MEDIA_INSTALL_DIR.

# The menu entry starts the launcher by its full path: a per-user prefix's bin folder is on PATH only from the next
# login. A path with a character the desktop entry format reserves (a space, a quote, ...) is quoted as that format
# asks, and every % doubled, so that a prefix such as "/home/me/My Programs" starts the player too.
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/media")
if(launcher MATCHES "\n")
  message(FATAL_ERROR "The install prefix holds a line break, which no desktop entry can name: ${CMAKE_INSTALL_PREFIX}")
endif()
if(launcher MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" launcher "${launcher}")
  set(launcher "\"${launcher}\"")
  # The entry's values are strings in which a backslash is written twice.
  string(REPLACE "\\" "\\\\" launcher "${launcher}")
endif()
string(REPLACE "%" "%%" launcher "${launcher}")
file(READ "${MEDIA_SOURCE_DIR}/dist/media.desktop" entry)
string(REPLACE "Exec=media " "Exec=${launcher} " entry "${entry}")
file(WRITE "${MEDIA_BINARY_DIR}/dist/media.desktop" "${entry}")
file(INSTALL "${MEDIA_BINARY_DIR}/dist/media.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

# A system-wide install (the package's /usr, /usr/local, /opt) is shared by every user: the program never writes its
# folder, whoever runs it, root included, and keeps each user's list in that user's data folder. This file tells it so.
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$|^/usr/local/?$|^/opt/")
  file(WRITE "${MEDIA_BINARY_DIR}/dist/shared-install"
       "This program folder is shared by every user: each keeps the playlist in ~/.local/share/media/.\n")
  file(INSTALL "${MEDIA_BINARY_DIR}/dist/shared-install" DESTINATION "${CMAKE_INSTALL_PREFIX}/${MEDIA_INSTALL_DIR}")
endif()
