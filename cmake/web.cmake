# The browser build (Emscripten, WebGL 2): build/web/ holds index.html (our
# own page), endless-field.js and .wasm, assets.txt (the list of images the
# page loads into the program's virtual file system before it starts), the
# images themselves under their program paths (pic/..., FIGHTER.png), the
# program's icon (icon/), which the page shows as its favicon and home-screen
# icon, the web app manifest and the service worker for offline starts.
# Nothing is fetched at build or run time: no Emscripten ports, no SDL.

# Debian's emscripten lacks glcorearb.h; the layer's GL table uses its types
# and names, so the build takes the desktop header (libgl-dev) on its own.
set(EF_WEB_GL_HEADERS ${CMAKE_BINARY_DIR}/gl_headers)
configure_file(/usr/include/GL/glcorearb.h ${EF_WEB_GL_HEADERS}/GL/glcorearb.h COPYONLY)

add_subdirectory(platform)
target_include_directories(platform_headers SYSTEM INTERFACE ${EF_WEB_GL_HEADERS})

add_library(ef_program STATIC ${EF_PROGRAM_SOURCES})
target_include_directories(ef_program PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ef_program PUBLIC platform_api)

add_executable(endless-field)
target_link_libraries(endless-field PRIVATE ef_program platform_entry)
# ASYNCIFY lets WinMain's blocking loop (and a waiting MessageBoxA) give the
# browser control and resume where it left off. EXIT_RUNTIME: returning from
# WinMain runs exit() with the globals' destructors, and the page hears of it.
# GLOBAL_BASE: no object below 64 KiB, where Windows keeps atoms (a class
# name pointer under 0x10000 is an atom, as RegisterClassExA tells them).
target_link_options(endless-field PRIVATE
  -sGLOBAL_BASE=65536
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536
  -sMIN_WEBGL_VERSION=2
  -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1
  -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['FS','ENV','addRunDependency','removeRunDependency']"
)

# The images come from tools/make_assets, built for this machine (it runs at
# build time) with the host's compiler, libjpeg-turbo and libpng.
include(${PROJECT_SOURCE_DIR}/tools/make_assets/asset_files.cmake)
find_program(EF_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
file(GLOB EF_MAKE_ASSETS_SOURCES ${PROJECT_SOURCE_DIR}/tools/make_assets/*.cpp)
set(EF_HOST_MAKE_ASSETS ${CMAKE_BINARY_DIR}/host/endless-field-assets)
add_custom_command(
  OUTPUT ${EF_HOST_MAKE_ASSETS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${EF_HOST_CXX} -std=c++17 -O2 ${EF_MAKE_ASSETS_SOURCES} -lturbojpeg -lpng
          -o ${EF_HOST_MAKE_ASSETS}
  DEPENDS ${EF_MAKE_ASSETS_SOURCES}
  COMMENT "Building the image generator for this machine"
  VERBATIM
)
# The icon comes along: the page's favicon is icon/endless-field.png.
list(TRANSFORM EF_ASSET_FILES PREPEND "${CMAKE_BINARY_DIR}/" OUTPUT_VARIABLE EF_ASSET_OUTPUTS)
list(TRANSFORM EF_ICON_FILES PREPEND "${CMAKE_BINARY_DIR}/" OUTPUT_VARIABLE EF_ICON_OUTPUTS)
list(APPEND EF_ASSET_OUTPUTS ${EF_ICON_OUTPUTS})
add_custom_command(
  OUTPUT ${EF_ASSET_OUTPUTS}
  COMMAND ${EF_HOST_MAKE_ASSETS} ${CMAKE_BINARY_DIR}
  DEPENDS ${EF_HOST_MAKE_ASSETS}
  COMMENT "Generating textures and sprites into ${CMAKE_BINARY_DIR}"
  VERBATIM
)
list(JOIN EF_ASSET_FILES "\n" EF_ASSET_LIST)
file(WRITE ${CMAKE_BINARY_DIR}/assets.txt "${EF_ASSET_LIST}\n")
configure_file(${PROJECT_SOURCE_DIR}/platform/web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/platform/web/manifest.webmanifest
               ${CMAKE_BINARY_DIR}/manifest.webmanifest COPYONLY)
add_custom_target(ef_web_assets ALL DEPENDS ${EF_ASSET_OUTPUTS})

# The service worker that keeps the page's files for offline starts, named
# after a hash of them (cmake/web_service_worker.cmake).
set(EF_SERVICE_WORKER_SOURCE ${PROJECT_SOURCE_DIR}/platform/web/service-worker.js)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DWEB_DIR=${CMAKE_BINARY_DIR} -DSOURCE=${EF_SERVICE_WORKER_SOURCE}
          -DOUTPUT=${CMAKE_BINARY_DIR}/service-worker.js
          -P ${PROJECT_SOURCE_DIR}/cmake/web_service_worker.cmake
  DEPENDS endless-field ${EF_SERVICE_WORKER_SOURCE} ${EF_ASSET_OUTPUTS}
          ${PROJECT_SOURCE_DIR}/cmake/web_service_worker.cmake
          ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/manifest.webmanifest
          ${CMAKE_BINARY_DIR}/assets.txt
  COMMENT "Writing the page's service worker"
  VERBATIM
)
add_custom_target(ef_web_service_worker ALL DEPENDS ${CMAKE_BINARY_DIR}/service-worker.js)

# The decoder check of the browser tests (tests/web/), beside the page in
# check/: the D3DX decoders on their own, run on the page's images.
add_executable(decode-check ${PROJECT_SOURCE_DIR}/tests/web/decode_check.cpp)
target_link_libraries(decode-check PRIVATE platform_d3dx9)
set_target_properties(decode-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/check)
target_link_options(decode-check PRIVATE -sASYNCIFY=1 -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1
  -sENVIRONMENT=web "-sEXPORTED_RUNTIME_METHODS=['FS','addRunDependency','removeRunDependency']")
configure_file(${PROJECT_SOURCE_DIR}/tests/web/decode_check.html ${CMAKE_BINARY_DIR}/check/index.html
               COPYONLY)
