# Puts the camera mirror in the site's mirror/ folder: the page's own scripts
# and, from the npm packages that `make deps` installs beside this file, the
# face reader (the library, the face detector's and the mesh's models, the
# WebAssembly backend). Writes files.json: what the mirror downloads, with
# sizes, for its progress bar.
# Run with -DSOURCE=<this folder> -DOUT=<site>/mirror.
set(modules ${SOURCE}/node_modules)
if(NOT EXISTS ${modules}/@vladmandic/human/package.json OR
   NOT EXISTS ${modules}/@tensorflow/tfjs-backend-wasm/package.json)
  message(FATAL_ERROR "The mirror's npm packages are missing from ${modules}: `make deps` installs them.")
endif()
set(human ${modules}/@vladmandic/human)
set(wasm ${modules}/@tensorflow/tfjs-backend-wasm/dist)
file(REMOVE_RECURSE ${OUT})
file(COPY ${SOURCE}/mirror.js ${SOURCE}/judge.js ${SOURCE}/worker.js ${human}/dist/human.esm.js DESTINATION ${OUT})
file(COPY ${human}/models/blazeface.json ${human}/models/blazeface.bin ${human}/models/facemesh.json
          ${human}/models/facemesh.bin DESTINATION ${OUT}/models)
# The SIMD module, and the plain one for a browser without SIMD; the threaded
# one needs cross-origin isolation, which a plain static server does not give.
file(COPY ${wasm}/tfjs-backend-wasm-simd.wasm ${wasm}/tfjs-backend-wasm.wasm DESTINATION ${OUT}/wasm)

set(json "")
foreach(f worker.js human.esm.js models/blazeface.json models/blazeface.bin models/facemesh.json
          models/facemesh.bin wasm/tfjs-backend-wasm-simd.wasm)
  file(SIZE ${OUT}/${f} bytes)
  if(json)
    string(APPEND json ",\n")
  endif()
  string(APPEND json "  {\"path\": \"${f}\", \"bytes\": ${bytes}}")
endforeach()
file(WRITE ${OUT}/files.json "[\n${json}\n]\n")
