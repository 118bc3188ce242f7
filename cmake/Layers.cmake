# The layers, enforced. A source or header may include (#include "...") only from its own folder and the folders its
# target depends on: platform/ knows nothing of lorvex/ or media/, lorvex/ nothing of media/, and the player sees of
# the grid only its published header. The root CMakeLists.txt runs the check while configuring, and ctest runs this
# file as the test `layers` (cmake -DMEDIA_SOURCE_DIR=<sources> -P Layers.cmake), so that an include added without
# configuring again fails the tests as well.

# Where a file lies (a folder, or the start of a file name) → the places it may include from; "*" is anything. The
# longest matching place rules a file. A file that no place matches is an error too: a new folder takes its place
# here first. The top folders scanned are those named here.
set(MEDIA_LAYERS
  # platform/: runtimes with none of ours beneath them, but automation under forms and text under mediaplayer.
  "platform/text/         = platform/text/"
  "platform/automation/   = platform/automation/"
  "platform/forms/        = platform/forms/ platform/automation/"
  "platform/mediaplayer/  = platform/mediaplayer/ platform/text/"
  "platform/browser/      = platform/browser/"
  # lorvex/: the published header stands on automation alone, as every host sees it; the control (lorvex_core)
  # also uses platform_text, privately.
  "lorvex/include/lorvex/ = lorvex/include/lorvex/ platform/automation/"
  "lorvex/image/          = lorvex/image/ platform/automation/ platform/text/"
  "lorvex/listview/       = lorvex/ platform/automation/ platform/text/"
  # media/: the readers, the list file codec and the icon art are libraries of their own that tools and fuzzers
  # use alone; the rest is the player (medialib), which reaches the grid through its published header only.
  "media/readers/               = media/readers/ platform/text/"
  "media/playlist/AtomicFile.   = media/playlist/AtomicFile. media/playlist/PlaylistFile. platform/text/"
  "media/playlist/PlaylistFile. = media/playlist/AtomicFile. media/playlist/PlaylistFile. platform/text/"
  "media/playlist/ForeignLists. = media/playlist/ForeignLists. media/playlist/PlaylistFile. media/playlist/UriLocation. platform/text/"
  "media/playlist/UriLocation.  = media/playlist/UriLocation. platform/text/"
  "media/art/                   = media/art/"
  "media/                       = media/ platform/ lorvex/include/lorvex/"
  # tools/: what they link.
  "tools/media-info/   = tools/media-info/ media/readers/ platform/text/"
  "tools/skin-painter/ = tools/skin-painter/ media/art/"
  # Tests, benchmarks and fuzzers look at anything.
  "tests/ = *"
  "bench/ = *"
  "fuzz/  = *")

set(MEDIA_LAYERS_SOURCE_GLOBS *.h *.hpp *.c *.cpp)

# One line of MEDIA_LAYERS: its place in `place_out`, the places it may include from (a list) in `allowed_out`.
function(_layer_rule rule place_out allowed_out)
  string(REGEX REPLACE "^ *([^ =]+) *= *(.*)$" "\\1" place "${rule}")
  string(REGEX REPLACE "^ *([^ =]+) *= *(.*)$" "\\2" allowed "${rule}")
  string(REGEX REPLACE " +" ";" allowed "${allowed}")
  set(${place_out} "${place}" PARENT_SCOPE)
  set(${allowed_out} "${allowed}" PARENT_SCOPE)
endfunction()

# Whether `text` starts with `start`, in `out`.
function(_layer_starts_with text start out)
  string(FIND "${text}" "${start}" at)
  if(at EQUAL 0)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# The line of MEDIA_LAYERS that rules `file` (relative to the sources): its place in `place_out` (empty if none) and
# what it may include from in `allowed_out`.
function(_layer_of file place_out allowed_out)
  set(best "")
  set(best_allowed "")
  set(best_length 0)
  foreach(rule IN LISTS MEDIA_LAYERS)
    _layer_rule("${rule}" place allowed)
    _layer_starts_with("${file}" "${place}" matches)
    string(LENGTH "${place}" length)
    if(matches AND length GREATER best_length)
      set(best "${place}")
      set(best_allowed "${allowed}")
      set(best_length ${length})
    endif()
  endforeach()
  set(${place_out} "${best}" PARENT_SCOPE)
  set(${allowed_out} "${best_allowed}" PARENT_SCOPE)
endfunction()

# The 1-based number of the first line of `path` that includes `included`, in `out`.
function(_layer_line path included out)
  file(READ "${path}" text)
  string(FIND "${text}" "\"${included}\"" at)
  string(SUBSTRING "${text}" 0 ${at} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks line)
  math(EXPR line "${line} + 1")
  set(${out} ${line} PARENT_SCOPE)
endfunction()

# Checks every source and header under `root`; stops with every include that breaks the layers.
function(check_layers root)
  set(tops "")
  foreach(rule IN LISTS MEDIA_LAYERS)
    _layer_rule("${rule}" place allowed)
    string(REGEX REPLACE "/.*$" "" top "${place}")
    list(APPEND tops "${top}")
  endforeach()
  list(REMOVE_DUPLICATES tops)
  set(globs "")
  foreach(top IN LISTS tops)
    foreach(pattern IN LISTS MEDIA_LAYERS_SOURCE_GLOBS)
      list(APPEND globs "${root}/${top}/${pattern}")
    endforeach()
  endforeach()
  file(GLOB_RECURSE files RELATIVE "${root}" ${globs})
  list(SORT files)

  set(broken "")
  foreach(file IN LISTS files)
    _layer_of("${file}" place allowed)
    if(place STREQUAL "")
      list(APPEND broken "${file}: lies in no layer; give its folder a place in cmake/Layers.cmake")
      continue()
    endif()
    if(allowed STREQUAL "*")
      continue()
    endif()
    get_filename_component(folder "${file}" DIRECTORY)
    file(STRINGS "${root}/${file}" lines ENCODING UTF-8 REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
      # As the compiler looks: beside the including file first, then from the sources' root. What is found in
      # neither is not ours (generated code, a system header written with quotes).
      set(target "")
      if(EXISTS "${root}/${folder}/${included}")
        cmake_path(SET target NORMALIZE "${folder}/${included}")
      elseif(EXISTS "${root}/${included}")
        cmake_path(SET target NORMALIZE "${included}")
      else()
        continue()
      endif()
      set(ok FALSE)
      foreach(prefix IN LISTS allowed)
        _layer_starts_with("${target}" "${prefix}" ok)
        if(ok)
          break()
        endif()
      endforeach()
      if(NOT ok)
        _layer_line("${root}/${file}" "${included}" number)
        string(REPLACE ";" " " shown "${allowed}")
        list(APPEND broken "${file}:${number}: #include \"${included}\": ${place} may include only from ${shown}")
      endif()
    endforeach()
  endforeach()

  if(broken)
    list(LENGTH broken count)
    string(REPLACE ";" "\n  " report "${broken}")
    message(FATAL_ERROR "${count} include(s) break the layers (the table is in cmake/Layers.cmake):\n  ${report}\n")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT MEDIA_SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DMEDIA_SOURCE_DIR=<sources> -P Layers.cmake")
  endif()
  check_layers("${MEDIA_SOURCE_DIR}")
  message(STATUS "Layers: every include keeps to its layer")
endif()
