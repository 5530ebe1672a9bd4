# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers
# (package g++-mingw-w64-i686-posix).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_tolvenmark_target i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# Up to 4 GiB of address space on 64-bit Windows instead of 2 GiB: a print file is held
# whole in memory. scripts/build-windows checks that every program carries the mark.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--large-address-aware")
