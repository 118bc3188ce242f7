# add_fuzz_target(<name> <source>...): a libFuzzer program fuzz-<name>, run by fuzz/run.sh from
# its own build folder with the seeds in fuzz/<name>/seeds.
function(add_fuzz_target name)
  add_executable(fuzz-${name} ${ARGN})
  target_link_libraries(fuzz-${name} PRIVATE media_playlist)
  target_compile_options(fuzz-${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(fuzz-${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_dependencies(fuzz-all fuzz-${name})
endfunction()
