# Completes the site beside the linked script: copies the page, the manifest
# and the icons, then writes the service worker with the list of every file
# and a version made from their contents, so that any change makes a new
# service worker, which replaces the cached site on the next visit.
# Run with -DSOURCE=<web folder> -DICONS=<data/icons> -DSITE=<site folder>.
file(COPY ${SOURCE}/index.html ${SOURCE}/manifest.webmanifest DESTINATION ${SITE})
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
  string(APPEND list "  './${f}',\n")
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
set(FILES "${list}")
configure_file(${SOURCE}/sw.js.in ${SITE}/sw.js @ONLY)
