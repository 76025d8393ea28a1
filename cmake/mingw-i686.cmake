# 32-bit Windows, the product's platform. Its tests run under Wine 10 in
# WoW64 mode, in the Debian trixie root of tools/lib/wow64.sh.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wow64-run)
