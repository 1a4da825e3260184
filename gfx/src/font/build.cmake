# The built-in lv_font_montserrat_14 is made at build time by lv_font_conv (npm, runs under node on the
# build machine, so cross builds work alike) from Montserrat Medium, with the options LVGL 8.3 made its
# own copy with, and compiled as C like any font written for LVGL. The font file is Montserrat 7.200,
# the release LVGL's copy comes from (npm alias montserrat-7.200); lv_font_conv 1.5.2 renders it to the
# same glyphs and kerning as LVGL 8.3.11's lv_font_montserrat_14.
set(GFX_LV_FONT_CONV ${SD_NODE_MODULES}/lv_font_conv/lv_font_conv.js)
set(GFX_MONTSERRAT_DIR ${SD_NODE_MODULES}/montserrat-7.200)
set(GFX_MONTSERRAT_MEDIUM Montserrat_500Medium.ttf)
foreach(needed ${GFX_LV_FONT_CONV} ${GFX_MONTSERRAT_DIR}/${GFX_MONTSERRAT_MEDIUM})
    if(NOT EXISTS ${needed})
        message(FATAL_ERROR "${needed} is missing: the npm packages are not installed (run scripts/bootstrap, "
            "which runs npm ci)")
    endif()
endforeach()
find_program(GFX_NODE NAMES node nodejs NO_CMAKE_FIND_ROOT_PATH)
if(NOT GFX_NODE)
    message(FATAL_ERROR "node not found: lv_font_conv needs Node.js on the build machine (run scripts/bootstrap)")
endif()

set(GFX_FONT_GEN_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated)
set(GFX_MONTSERRAT_14_SRC ${GFX_FONT_GEN_DIR}/lv_font_montserrat_14.c)
file(MAKE_DIRECTORY ${GFX_FONT_GEN_DIR})
# Run beside the font file so the generated source names it without a path of this machine.
add_custom_command(OUTPUT ${GFX_MONTSERRAT_14_SRC}
    COMMAND ${GFX_NODE} ${GFX_LV_FONT_CONV} --no-compress --no-prefilter --bpp 4 --size 14
        --font ${GFX_MONTSERRAT_MEDIUM} -r 0x20-0x7F,0xB0,0x2022 --format lvgl --force-fast-kern-format
        -o ${GFX_MONTSERRAT_14_SRC}
    WORKING_DIRECTORY ${GFX_MONTSERRAT_DIR}
    DEPENDS ${GFX_LV_FONT_CONV} ${GFX_MONTSERRAT_DIR}/${GFX_MONTSERRAT_MEDIUM}
    COMMENT "Making lv_font_montserrat_14 with lv_font_conv (Montserrat Medium, 14 px, 4 bpp)"
    VERBATIM)
target_sources(gfx PRIVATE ${GFX_MONTSERRAT_14_SRC})
set_source_files_properties(${GFX_MONTSERRAT_14_SRC} PROPERTIES COMPILE_DEFINITIONS LV_LVGL_H_INCLUDE_SIMPLE)
