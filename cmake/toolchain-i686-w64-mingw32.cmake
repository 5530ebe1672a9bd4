# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers
# (package g++-mingw-w64-i686-posix).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_tolvenmark_target i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
