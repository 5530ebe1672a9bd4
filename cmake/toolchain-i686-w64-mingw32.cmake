# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers
# (package g++-mingw-w64-i686-posix). The posix thread model gives GoogleTest its
# std::thread and std::mutex. Programs are linked statically, so an .exe runs on Windows
# without any DLL of the compiler beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_tolvenmark_target i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_tolvenmark_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tolvenmark_target}-g++-posix)
set(CMAKE_RC_COMPILER ${_tolvenmark_target}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tolvenmark_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
