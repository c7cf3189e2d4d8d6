# Completes the site beside the linked script: writes the page, copies the
# manifest and the icons, then writes the service worker with the list of
# every file and a version made from their contents, so that any change makes
# a new service worker, which replaces the cached site on the next visit.
# Run with -DSOURCE=<web folder> -DICONS=<icons folder> -DSITE=<site folder>.

# The page shows its download's progress against the sizes of the script, the
# WebAssembly module and the data package.
file(SIZE ${SITE}/grimalou.js SCRIPT_BYTES)
file(SIZE ${SITE}/grimalou.wasm wasm_bytes)
file(SIZE ${SITE}/grimalou.data data_bytes)
math(EXPR DOWNLOAD_BYTES "${SCRIPT_BYTES} + ${wasm_bytes} + ${data_bytes}")
configure_file(${SOURCE}/index.html ${SITE}/index.html @ONLY)
file(COPY ${SOURCE}/manifest.webmanifest DESTINATION ${SITE})
file(REMOVE_RECURSE ${SITE}/icons)
file(COPY ${ICONS}/ DESTINATION ${SITE}/icons)

file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(digests "")
set(list "")
foreach(f IN LISTS files)
  file(SHA256 ${SITE}/${f} digest)
  string(APPEND digests "${f} ${digest}\n")
  # The mirror's files are kept once it has fetched them, not with the first
  # visit; they still make the version, so that a new build replaces them.
  if(NOT f MATCHES "^mirror/")
    string(APPEND list "  './${f}',\n")
  endif()
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
set(FILES "${list}")
configure_file(${SOURCE}/sw.js.in ${SITE}/sw.js @ONLY)
