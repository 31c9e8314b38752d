# Project-wide compile settings applied to our own targets through lumenfall_settings.
add_library(lumenfall_settings INTERFACE)
target_compile_options(lumenfall_settings INTERFACE -Wall -Wextra)
if(LUMENFALL_WERROR)
  target_compile_options(lumenfall_settings INTERFACE -Werror)
endif()
if(LUMENFALL_SANITIZE)
  target_compile_options(lumenfall_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(lumenfall_settings INTERFACE -fsanitize=address,undefined)
  # Each program (not each library) carries the runtime defaults once.
  target_sources(lumenfall_settings INTERFACE
    $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp>)
endif()
if(LUMENFALL_FUZZ)
  # Coverage instrumentation everywhere, so the fuzz targets see into the loaders they call.
  target_compile_options(lumenfall_settings INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(lumenfall_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()
