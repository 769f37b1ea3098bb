# Cross-compiles for 64-bit Windows with Debian's mingw-w64. The -posix variants bring the
# C++ threading support that the standard library needs; everything is linked statically so
# that the programs need only the DLLs that Windows itself ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TORAVEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TORAVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORAVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORAVEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TORAVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and test discovery run the programs under Wine.
find_program(TORAVEL_WINE wine)
if(TORAVEL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TORAVEL_WINE})
endif()
