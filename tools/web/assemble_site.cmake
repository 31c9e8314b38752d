# Puts the site together beside the built program (lumenfall.js, lumenfall.wasm in SITE_DIR):
# the page's files, the media under media/, and media/files.json, which names the media and
# gives every size the page's loading bar counts.
#   cmake -DPAGE_DIR=... -DMEDIA_DIR=... -DSITE_DIR=... -P assemble_site.cmake
foreach(variable PAGE_DIR MEDIA_DIR SITE_DIR)
  if(NOT IS_DIRECTORY "${${variable}}")
    message(FATAL_ERROR "${variable} is not a folder: ${${variable}}")
  endif()
endforeach()

file(GLOB page_files ${PAGE_DIR}/*)
file(COPY ${page_files} DESTINATION ${SITE_DIR})

file(REMOVE_RECURSE ${SITE_DIR}/media)
file(GLOB media_files LIST_DIRECTORIES false ${MEDIA_DIR}/*)
set(entries)
foreach(path ${media_files})
  get_filename_component(name ${path} NAME)
  if(name MATCHES "^\\.")
    continue()
  endif()
  file(COPY ${path} DESTINATION ${SITE_DIR}/media)
  file(SIZE ${path} bytes)
  list(APPEND entries "{\"name\": \"${name}\", \"bytes\": ${bytes}}")
endforeach()
file(SIZE ${SITE_DIR}/lumenfall.wasm wasm_bytes)
list(JOIN entries ",\n  " listed)
file(WRITE ${SITE_DIR}/media/files.json
  "{\"wasmBytes\": ${wasm_bytes}, \"files\": [\n  ${listed}\n]}\n")
