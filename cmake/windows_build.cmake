# The Windows cross build: the program against the real SDK, its icon linked
# as resource 107 with windres, and the images it reads generated beside
# endless-field.exe by the image generator, which is built for (and run on)
# the build machine with the host's own compiler. Both executables carry the
# application manifest (per-monitor DPI awareness); the viewer also links the
# layer's 1 ms clock (platform/win32/timer_period_windows.cpp).
#
# D3DX: by default the layer's own (platform/d3dx9, decoding through WIC) is
# linked into the executables, so they import only DLLs that every Windows 10
# and 11 has. EF_WINDOWS_D3DX=system links the SDK's d3dx9_43.dll instead,
# which a stock Windows lacks. Either way the build also makes the viewer and
# the capture tool on the SDK's D3DX in system-d3dx/, and wine_d3dx_check.exe,
# for the comparisons with Wine's D3DX (tests/end_to_end/wine_test.sh).
enable_language(RC)
include(ExternalProject)
include(${CMAKE_SOURCE_DIR}/tools/make_assets/asset_files.cmake)

set(EF_WINDOWS_D3DX layer CACHE STRING
    "D3DX of endless-field.exe and the capture tool: layer (linked in) or system (d3dx9_43.dll)")
set_property(CACHE EF_WINDOWS_D3DX PROPERTY STRINGS layer system)
if(NOT EF_WINDOWS_D3DX MATCHES "^(layer|system)$")
  message(FATAL_ERROR "EF_WINDOWS_D3DX is layer or system, not '${EF_WINDOWS_D3DX}'")
endif()

add_subdirectory(platform/d3dx9)
add_library(ef_d3dx_layer INTERFACE)
target_link_libraries(ef_d3dx_layer INTERFACE platform_d3dx9)
add_library(ef_d3dx_system INTERFACE)
target_link_libraries(ef_d3dx_system INTERFACE d3dx9_43)
set(EF_D3DX ef_d3dx_${EF_WINDOWS_D3DX})
set(EF_SYSTEM_D3DX_DIR ${CMAKE_BINARY_DIR}/system-d3dx)

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

# The application manifest (per-monitor DPI awareness), resource 24, id 1 of
# the viewer, the capture tool (tools/capture) and the DPI check program.
set(EF_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/windows/endless-field.manifest)
set(EF_MANIFEST_RC ${CMAKE_BINARY_DIR}/generated/manifest.rc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/manifest.rc.in ${EF_MANIFEST_RC} @ONLY)
set_source_files_properties(${EF_MANIFEST_RC} PROPERTIES OBJECT_DEPENDS ${EF_MANIFEST})

# The 1 ms clock (timeBeginPeriod at start-up, timeEndPeriod at exit): an
# object library, so that its static object is linked although nothing
# refers to it.
add_library(platform_timer_period OBJECT ${CMAKE_SOURCE_DIR}/platform/win32/timer_period_windows.cpp)

# The program's sources but its entry, compiled once for every executable
# (the capture tool brings its own loop).
set(ef_program_core_sources ${EF_PROGRAM_SOURCES})
list(REMOVE_ITEM ef_program_core_sources app/win_main.cpp)
add_library(ef_program_objects OBJECT ${ef_program_core_sources})
target_include_directories(ef_program_objects PUBLIC ${CMAKE_SOURCE_DIR})

# ef_add_viewer(TARGET D3DX): endless-field.exe on the given D3DX.
function(ef_add_viewer target d3dx)
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/app/win_main.cpp
    $<TARGET_OBJECTS:ef_program_objects> $<TARGET_OBJECTS:platform_timer_period>
    ${EF_ICON_RC} ${EF_MANIFEST_RC})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME endless-field)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${d3dx} d3d9 dinput8 dxguid winmm
    -static-libgcc -static-libstdc++)
  add_dependencies(${target} ef_assets)
endfunction()

ef_add_viewer(endless-field ${EF_D3DX})
ef_add_viewer(endless-field-system-d3dx ef_d3dx_system)
set_target_properties(endless-field-system-d3dx PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${EF_SYSTEM_D3DX_DIR})

# Our D3DX against Wine's d3dx9_43.dll, image by image (run by the Wine test).
list(TRANSFORM EF_ASSET_FILES PREPEND "  \"" OUTPUT_VARIABLE ef_asset_lines)
list(TRANSFORM ef_asset_lines APPEND "\",")
list(JOIN ef_asset_lines "\n" EF_ASSET_LINES)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/asset_files.inc
  CONTENT "// The images the program reads (tools/make_assets/asset_files.cmake).\n@EF_ASSET_LINES@\n"
  @ONLY)
add_executable(wine_d3dx_check ${CMAKE_SOURCE_DIR}/tests/end_to_end/wine_d3dx_check.cpp)
target_include_directories(wine_d3dx_check PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(wine_d3dx_check PRIVATE ef_d3dx_layer d3d9 -static-libgcc -static-libstdc++)

# What a process reports about DPI, with the program's manifest and without
# it (the Wine test's check and its negative control).
foreach(variant "" _no_manifest)
  set(ef_dpi_sources ${CMAKE_SOURCE_DIR}/tests/end_to_end/wine_dpi_check.c)
  if(variant STREQUAL "")
    list(APPEND ef_dpi_sources ${EF_MANIFEST_RC})
  endif()
  add_executable(wine_dpi_check${variant} ${ef_dpi_sources})
  target_compile_definitions(wine_dpi_check${variant} PRIVATE WINVER=0x0A00 _WIN32_WINNT=0x0A00)
  target_link_libraries(wine_dpi_check${variant} PRIVATE -static-libgcc)
endforeach()

# Every build of the viewer and the capture tool must carry the manifest; the
# build fails otherwise.
set(ef_manifest_stamp ${CMAKE_BINARY_DIR}/generated/manifests_checked)
add_custom_command(OUTPUT ${ef_manifest_stamp}
  COMMAND ${CMAKE_COMMAND} -E env EF_WINDRES=${CMAKE_RC_COMPILER}
          ${CMAKE_SOURCE_DIR}/scripts/check_windows_manifest.sh
          $<TARGET_FILE:endless-field> $<TARGET_FILE:endless-field-system-d3dx>
          $<TARGET_FILE:endless-field-capture> $<TARGET_FILE:endless-field-capture-system-d3dx>
  COMMAND ${CMAKE_COMMAND} -E touch ${ef_manifest_stamp}
  DEPENDS endless-field endless-field-system-d3dx endless-field-capture
          endless-field-capture-system-d3dx ${CMAKE_SOURCE_DIR}/scripts/check_windows_manifest.sh
  COMMENT "Checking the application manifest of the viewer and the capture tool"
  VERBATIM)
add_custom_target(ef_check_manifests ALL DEPENDS ${ef_manifest_stamp})

# The viewer's exit path in a few lines, on the SDK's d3d9 alone: shows that
# the occasional fault at exit under Wine is Wine's (scripts/wine_exit_repro.sh).
add_executable(wine_exit_minimal WIN32 ${CMAKE_SOURCE_DIR}/tests/end_to_end/wine_exit_minimal.c)
target_link_libraries(wine_exit_minimal PRIVATE d3d9 -static-libgcc)
