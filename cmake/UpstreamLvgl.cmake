# Builds the application against LVGL 8.3 itself instead of our runtime (gfx/).
#
#   cmake -S . -B build-lvgl -DSTATUS_DISPLAY_LVGL_DIR=/path/to/lvgl-8.3
#
# LVGL's own CMake project is added from STATUS_DISPLAY_LVGL_DIR and reads our src/config/lv_conf.h.
# Its library then stands behind the target name `gfx`, so everything that links the LVGL API (the
# application modules, the program, the snapshot tool, the application's tests) gets LVGL. LVGL 8.3
# brings lodepng, gifdec and qrcodegen along in its sources; FreeType comes from Debian.
# The runtime's own tests, golden pictures and benchmarks need gfx/ and are left out in this mode.

set(SD_LVGL_H ${STATUS_DISPLAY_LVGL_DIR}/lvgl.h)
if(NOT EXISTS ${SD_LVGL_H} OR NOT EXISTS ${STATUS_DISPLAY_LVGL_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "STATUS_DISPLAY_LVGL_DIR (${STATUS_DISPLAY_LVGL_DIR}) is not an LVGL source tree: "
                        "lvgl.h and CMakeLists.txt are missing")
endif()
file(STRINGS ${SD_LVGL_H} sd_lvgl_major REGEX "^#define LVGL_VERSION_MAJOR +[0-9]+")
file(STRINGS ${SD_LVGL_H} sd_lvgl_minor REGEX "^#define LVGL_VERSION_MINOR +[0-9]+")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" sd_lvgl_major "${sd_lvgl_major}")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" sd_lvgl_minor "${sd_lvgl_minor}")
if(NOT "${sd_lvgl_major}.${sd_lvgl_minor}" STREQUAL "8.3")
    message(FATAL_ERROR "STATUS_DISPLAY_LVGL_DIR holds LVGL ${sd_lvgl_major}.${sd_lvgl_minor}; the status "
                        "display needs LVGL 8.3")
endif()
message(STATUS "Building the application against LVGL ${sd_lvgl_major}.${sd_lvgl_minor} in ${STATUS_DISPLAY_LVGL_DIR}")

# LVGL's CMake options: lv_conf.h by path (its directory becomes an include directory, which also
# makes custom_tick.h reachable), plain includes of "lvgl.h" and "lv_conf.h", no examples or demos.
set(LV_CONF_PATH ${PROJECT_SOURCE_DIR}/src/config/lv_conf.h CACHE STRING "lv_conf.h for LVGL" FORCE)
set(LV_CONF_INCLUDE_SIMPLE ON CACHE BOOL "Include lv_conf.h as \"lv_conf.h\"" FORCE)
set(LV_LVGL_H_INCLUDE_SIMPLE ON CACHE BOOL "Include lvgl.h as \"lvgl.h\"" FORCE)
set(LV_CONF_BUILD_DISABLE_EXAMPLES ON CACHE BOOL "Do not build LVGL's examples" FORCE)
set(LV_CONF_BUILD_DISABLE_DEMOS ON CACHE BOOL "Do not build LVGL's demos" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "Build LVGL as a static library" FORCE)
# Only what the application links is built (not LVGL's example and demo libraries).
add_subdirectory(${STATUS_DISPLAY_LVGL_DIR} ${CMAKE_BINARY_DIR}/lvgl EXCLUDE_FROM_ALL)
if(TARGET lvgl::lvgl)
    set(SD_LVGL_TARGET lvgl::lvgl)
else()
    set(SD_LVGL_TARGET lvgl)
endif()

# LVGL's FreeType binding includes <ft2build.h>, which its CMake project does not find by itself.
target_include_directories(lvgl PRIVATE ${FREETYPE_INCLUDE_DIRS})

add_library(gfx INTERFACE)
target_link_libraries(gfx INTERFACE ${SD_LVGL_TARGET} Freetype::Freetype)
# The tests and the snapshot tool write PNG files with Debian's lodepng.
target_link_libraries(gfx INTERFACE lodepng::lodepng)
# LVGL calls the program's custom_tick_get() and has no fallback of its own. The test support defines
# one in a static library that the linker reads before LVGL; asking for the symbol up front makes it
# take that definition (programs that define their own use theirs).
target_link_options(gfx INTERFACE LINKER:--undefined=custom_tick_get)
