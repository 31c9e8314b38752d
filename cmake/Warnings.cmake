# Project-wide compile settings applied to our own targets through lumenfall_settings.
add_library(lumenfall_settings INTERFACE)
target_compile_options(lumenfall_settings INTERFACE -Wall -Wextra)
# GCC 12 at -O3 warns that std::string's own concatenation may overlap itself (-Wrestrict inside
# char_traits.h, a known false positive of that compiler), so a Release build with -Werror failed
# on correct code. The warning stays on for other compilers and versions.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(lumenfall_settings INTERFACE -Wno-restrict)
endif()
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
