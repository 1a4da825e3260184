# The GIF image and QR code widgets: giflib decodes the frames, qrcodegen (C library) makes the codes.
if(NOT GIF_FOUND)
    find_package(GIF REQUIRED)
endif()
if(NOT TARGET PkgConfig::QRCODEGEN)
    pkg_check_modules(QRCODEGEN REQUIRED IMPORTED_TARGET qrcodegen)
endif()
target_link_libraries(gfx PUBLIC GIF::GIF PkgConfig::QRCODEGEN)
