# Cross build for 64-bit Windows with the MinGW-w64 tool chain (Debian's
# g++-mingw-w64-x86-64). The program compiles against the tool chain's own
# Windows headers and links its import libraries; nothing from the Linux
# platform stand-in is used.
#
#   cmake --preset windows
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARRELO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARRELO_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${QUARRELO_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${QUARRELO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the tool chain's sysroot only; programs
# (code generators and the like) are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${QUARRELO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
