# The browser build: the same program compiled with Emscripten, drawing through WebGL 2, as a
# static site (index.html, the script, the .wasm and the media, by relative paths). The media
# come from the native generator (LUMENFALL_WEB_MEDIA_DIR; ./build.sh web makes them first).
#
# src/ builds the platform (its GL backend speaking OpenGL ES 3.0, no EGL), the page's seams
# (lf_web, in place of the desktop's lf_desktop) and the program; here they become the page's
# program and the site around it.
set(LUMENFALL_WEB_MEDIA_DIR "" CACHE PATH "Folder of the generated media files")
set(LUMENFALL_WEB_SITE_DIR ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the site is put together")
if(NOT EXISTS "${LUMENFALL_WEB_MEDIA_DIR}/title.bmp")
  message(FATAL_ERROR "LUMENFALL_WEB_MEDIA_DIR must name the generated media (run ./build.sh web)")
endif()

add_subdirectory(src)

# A program for the page: `target` from the sources that follow, written as lumenfall.js and
# lumenfall.wasm into `site`, which then gets the page's files, the media and the media list (with
# the sizes the loading bar counts) by the target `target`_site. `in_all`: whether a plain build
# makes them.
function(lumenfall_web_program target site in_all)
  set(all ALL)
  if(NOT in_all)
    set(all)
  endif()
  add_executable(${target} ${ARGN})
  if(NOT in_all)
    set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL TRUE)
  endif()
  target_link_libraries(${target} PRIVATE lf_program lf_web)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME lumenfall SUFFIX ".js"
    RUNTIME_OUTPUT_DIRECTORY ${site})
  # Asyncify lets the program's blocking loops (messages, the dialog, boxes) give the browser
  # its turn where they wait; its saved stacks need room for the deepest wait (a frame's
  # present). Resource names given by number are pointers below 64 K (MAKEINTRESOURCE), so no
  # real string may lie there: the program's data starts at 64 K, where wasm would start it at
  # 1 K.
  target_link_options(${target} PRIVATE -sGLOBAL_BASE=65536
    -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
    -sENVIRONMENT=web -sFORCE_FILESYSTEM=1 "-sEXPORTED_RUNTIME_METHODS=['FS']")
  add_custom_target(${target}_site ${all}
    COMMAND ${CMAKE_COMMAND} -DPAGE_DIR=${PROJECT_SOURCE_DIR}/tools/web/page
            -DMEDIA_DIR=${LUMENFALL_WEB_MEDIA_DIR} -DSITE_DIR=${site}
            -P ${PROJECT_SOURCE_DIR}/tools/web/assemble_site.cmake
    DEPENDS ${target}
    COMMENT "Putting the site together in ${site}")
endfunction()

# The page's program reads the page's options; ?at= takes its frame schedule from the capture
# tool.
lumenfall_web_program(lumenfall-web ${LUMENFALL_WEB_SITE_DIR} ON
  tools/web/web_main.cpp tools/web/moment_run.cpp tools/capture/frame_timeline.cpp)
target_include_directories(lumenfall-web PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tools)

# The benchmark's program (bench/web_frames.mjs), only when asked for:
#   cmake --build build-web/wasm --target lumenfall-bench_site
lumenfall_web_program(lumenfall-bench ${CMAKE_BINARY_DIR}/bench-site OFF
  bench/web/bench_main.cpp)
target_include_directories(lumenfall-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench
  ${CMAKE_CURRENT_SOURCE_DIR}/tools)
