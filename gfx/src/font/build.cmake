# The built-in lv_font_montserrat_14 is rendered at build time by a host tool (gfx/fontgen) into a
# generated source of the gfx library, so the library needs no font file at run time.
set(GFX_FONTGEN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/../../fontgen/fontgen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../../fontgen/gpos_kern.cpp)
set(GFX_MONTSERRAT_MEDIUM
    ${SD_NODE_MODULES}/@expo-google-fonts/montserrat/500Medium/Montserrat_500Medium.ttf)
set(GFX_FONT_GEN_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated)
set(GFX_MONTSERRAT_14_SRC ${GFX_FONT_GEN_DIR}/lv_font_montserrat_14.cpp)
file(MAKE_DIRECTORY ${GFX_FONT_GEN_DIR})

if(NOT EXISTS ${GFX_MONTSERRAT_MEDIUM})
    message(FATAL_ERROR "Montserrat Medium not found at ${GFX_MONTSERRAT_MEDIUM}; run scripts/bootstrap")
endif()

if(CMAKE_CROSSCOMPILING)
    # The generator runs on the build machine: compile it with the host compiler and the host's
    # FreeType (the toolchain points pkg-config at the target's libraries, so undo that here).
    find_program(GFX_HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
    find_program(GFX_HOST_PKG_CONFIG NAMES pkg-config REQUIRED NO_CMAKE_FIND_ROOT_PATH)
    set(host_pkg_config ${CMAKE_COMMAND} -E env --unset=PKG_CONFIG_LIBDIR --unset=PKG_CONFIG_PATH
        --unset=PKG_CONFIG_SYSROOT_DIR ${GFX_HOST_PKG_CONFIG})
    execute_process(COMMAND ${host_pkg_config} --cflags freetype2
        OUTPUT_VARIABLE ft_cflags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${host_pkg_config} --libs freetype2
        OUTPUT_VARIABLE ft_libs OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(ft_cflags UNIX_COMMAND "${ft_cflags}")
    separate_arguments(ft_libs UNIX_COMMAND "${ft_libs}")
    set(GFX_FONTGEN_EXE ${CMAKE_CURRENT_BINARY_DIR}/gfx_fontgen_host)
    add_custom_command(OUTPUT ${GFX_FONTGEN_EXE}
        COMMAND ${GFX_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -Wshadow ${ft_cflags} ${GFX_FONTGEN_SOURCES}
            -o ${GFX_FONTGEN_EXE} ${ft_libs}
        DEPENDS ${GFX_FONTGEN_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/../../fontgen/gpos_kern.h
        COMMENT "Building the host font generator"
        VERBATIM)
    set(GFX_FONTGEN_DEP ${GFX_FONTGEN_EXE})
else()
    add_executable(gfx_fontgen ${GFX_FONTGEN_SOURCES})
    target_link_libraries(gfx_fontgen PRIVATE Freetype::Freetype sd_warnings)
    set(GFX_FONTGEN_EXE $<TARGET_FILE:gfx_fontgen>)
    set(GFX_FONTGEN_DEP gfx_fontgen)
endif()

add_custom_command(OUTPUT ${GFX_MONTSERRAT_14_SRC}
    COMMAND ${GFX_FONTGEN_EXE} ${GFX_MONTSERRAT_MEDIUM} 14 4 lv_font_montserrat_14 ${GFX_MONTSERRAT_14_SRC}
        0x20-0x7E 0xB0 0x2022
    DEPENDS ${GFX_FONTGEN_DEP} ${GFX_MONTSERRAT_MEDIUM}
    COMMENT "Rendering lv_font_montserrat_14 (Montserrat Medium, 14 px)"
    VERBATIM)
target_sources(gfx PRIVATE ${GFX_MONTSERRAT_14_SRC})
