# What the MinGW-w64 cross builds share; the toolchain file that includes this sets
# _tolvenmark_target (the compiler's target triple) first. The posix thread model gives
# GoogleTest its std::thread and std::mutex. Programs are linked statically, so an .exe
# runs on Windows without any DLL of the compiler beside it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_tolvenmark_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tolvenmark_target}-g++-posix)
set(CMAKE_RC_COMPILER ${_tolvenmark_target}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tolvenmark_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
