# Standalone Asio (header-only, Debian libasio-dev) for the socket and LPD backends and
# capture's listener. No header of ours outside their .cpp files and TcpConnection
# includes it.
find_path(TOLVENMARK_ASIO_INCLUDE_DIR asio.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)

add_library(tolvenmark_asio INTERFACE)
if(CMAKE_CROSSCOMPILING)
    # The Linux headers beside Asio's must never reach the cross compiler: give it a
    # folder that holds Asio alone.
    set(_tolvenmark_asio_dir ${CMAKE_CURRENT_BINARY_DIR}/asio-include)
    file(MAKE_DIRECTORY ${_tolvenmark_asio_dir})
    file(CREATE_LINK ${TOLVENMARK_ASIO_INCLUDE_DIR}/asio ${_tolvenmark_asio_dir}/asio SYMBOLIC)
    file(CREATE_LINK ${TOLVENMARK_ASIO_INCLUDE_DIR}/asio.hpp ${_tolvenmark_asio_dir}/asio.hpp
         SYMBOLIC)
    target_include_directories(tolvenmark_asio SYSTEM INTERFACE ${_tolvenmark_asio_dir})
else()
    target_include_directories(tolvenmark_asio SYSTEM INTERFACE ${TOLVENMARK_ASIO_INCLUDE_DIR})
endif()
target_compile_definitions(tolvenmark_asio INTERFACE ASIO_STANDALONE)
find_package(Threads REQUIRED)
target_link_libraries(tolvenmark_asio INTERFACE Threads::Threads)
if(WIN32)
    target_compile_definitions(tolvenmark_asio INTERFACE _WIN32_WINNT=0x0601)
    target_link_libraries(tolvenmark_asio INTERFACE ws2_32 mswsock)
endif()
