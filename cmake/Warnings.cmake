# Warning flags applied to every target the project builds.
function(nivalo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(NIVALO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(NIVALO_SANITIZE AND NIVALO_TSAN)
  message(FATAL_ERROR "NIVALO_SANITIZE and NIVALO_TSAN cannot be combined")
endif()
if(NIVALO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(NIVALO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(NIVALO_FUZZ)
  # Every library and tool carries the fuzzer's coverage and the sanitizers,
  # so that faults inside the engine are caught, not only in the harness;
  # the fuzz targets add libFuzzer's main (fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
