# Includes are written from the sources' root ("platform/text/FileName.h", "media/readers/MediaInfo.h"), so every
# target carries that root itself: a library hands it on to whoever links it, a program keeps it to itself. Which
# folders a file may include from is not the compiler's business but the layers' (cmake/Layers.cmake).
function(include_root)
  foreach(target IN LISTS ARGN)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY")
      continue()
    elseif(type STREQUAL "INTERFACE_LIBRARY")
      target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    elseif(type STREQUAL "EXECUTABLE")
      target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    else()
      target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    endif()
  endforeach()
endfunction()

# include_root for every target made in `folder` and the folders below it: for the tests and benchmarks, whose
# folders come and go, so that a new one needs no line of its own for it.
function(include_root_under folder)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  include_root(${targets})
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    include_root_under(${subfolder})
  endforeach()
endfunction()
