# add_fuzz_target(<name> <source>...): a libFuzzer program fuzz-<name>, which fuzz/run.sh runs with
# the seeds in fuzz/<name>/seeds.
function(add_fuzz_target name)
  add_executable(fuzz-${name} ${ARGN})
  include_root(fuzz-${name})
  target_link_libraries(fuzz-${name} PRIVATE media_readers media_playlist)
  target_compile_options(fuzz-${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  add_dependencies(fuzz-all fuzz-${name})
endfunction()
