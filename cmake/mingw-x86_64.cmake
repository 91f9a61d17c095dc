# Cross-compiles the portable core for 64-bit Windows with Debian's MinGW-w64
# (package g++-mingw-w64-x86-64). Only the core libraries build this way: the
# top-level list turns tests, benchmarks and the Linux and Qt platforms off.
set(VK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
