# The Windows cross build: the program against the real SDK, its icon linked
# as resource 107 with windres, and the images it reads generated beside
# endless-field.exe by the image generator, which is built for (and run on)
# the build machine with the host's own compiler.
enable_language(RC)
include(ExternalProject)
include(${CMAKE_SOURCE_DIR}/tools/make_assets/asset_files.cmake)

set(EF_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(EF_HOST_ASSETS ${EF_HOST_TOOLS_DIR}/endless-field-assets)
ExternalProject_Add(ef_host_assets
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/make_assets
  BINARY_DIR ${EF_HOST_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${EF_HOST_ASSETS}
)

list(TRANSFORM EF_ASSET_FILES PREPEND "${CMAKE_BINARY_DIR}/" OUTPUT_VARIABLE EF_ASSET_OUTPUTS)
list(TRANSFORM EF_ICON_FILES PREPEND "${CMAKE_BINARY_DIR}/" OUTPUT_VARIABLE EF_ICON_OUTPUTS)
add_custom_command(
  OUTPUT ${EF_ASSET_OUTPUTS} ${EF_ICON_OUTPUTS}
  COMMAND ${EF_HOST_ASSETS} "${CMAKE_BINARY_DIR}"
  DEPENDS ${EF_HOST_ASSETS} ef_host_assets
  COMMENT "Generating textures, sprites and the icon into ${CMAKE_BINARY_DIR}"
  VERBATIM
)
add_custom_target(ef_assets ALL DEPENDS ${EF_ASSET_OUTPUTS} ${EF_ICON_OUTPUTS})

set(EF_ICON_RC ${CMAKE_BINARY_DIR}/generated/endless-field.rc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/endless-field.rc.in ${EF_ICON_RC} @ONLY)
set_source_files_properties(${EF_ICON_RC} PROPERTIES
  OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/icon/endless-field.ico)

add_executable(endless-field WIN32 ${EF_PROGRAM_SOURCES} ${EF_ICON_RC})
target_include_directories(endless-field PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(endless-field PRIVATE d3d9 d3dx9_43 dinput8 dxguid winmm
  -static-libgcc -static-libstdc++)
add_dependencies(endless-field ef_assets)
