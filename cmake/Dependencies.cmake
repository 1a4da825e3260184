# Libraries from Debian's packages.
find_package(Freetype REQUIRED)
find_package(PkgConfig REQUIRED)

find_path(LODEPNG_INCLUDE_DIR lodepng.h REQUIRED)
find_library(LODEPNG_LIBRARY NAMES lodepng REQUIRED)
if(NOT TARGET lodepng::lodepng)
    add_library(lodepng::lodepng UNKNOWN IMPORTED)
    set_target_properties(lodepng::lodepng PROPERTIES
        IMPORTED_LOCATION ${LODEPNG_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${LODEPNG_INCLUDE_DIR})
endif()

find_package(GIF QUIET)
pkg_check_modules(QRCODEGEN QUIET IMPORTED_TARGET qrcodegen)
find_package(cJSON CONFIG QUIET)
# sd_notify for readiness and the watchdog under systemd (libsystemd-dev).
pkg_check_modules(LIBSYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

if(STATUS_DISPLAY_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
