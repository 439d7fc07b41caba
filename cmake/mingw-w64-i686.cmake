# 32-bit x86 Windows (the product; runs under WOW64 on 64-bit Windows too).
set(ZI370_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
