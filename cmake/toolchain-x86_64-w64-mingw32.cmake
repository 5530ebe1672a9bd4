# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers
# (package g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_tolvenmark_target x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
