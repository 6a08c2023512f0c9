# Cross-build for 64-bit Windows with Debian's MinGW-w64 compiler (posix threads). The C and C++
# runtimes and winpthread are linked in statically, so the programs need only system DLLs.
#
# Third-party libraries (pugixml, GoogleTest, ...) are looked for in the prefix that
# scripts/build-windows.sh fills, build/windows-deps/prefix (TESSEL_WINDOWS_DEPS overrides it),
# and in the compiler's own sysroot; never in the host's /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSEL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TESSEL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TESSEL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(DEFINED ENV{TESSEL_WINDOWS_DEPS})
  set(TESSEL_WINDOWS_DEPS $ENV{TESSEL_WINDOWS_DEPS})
else()
  get_filename_component(TESSEL_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps/prefix"
                         ABSOLUTE)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TESSEL_MINGW_TRIPLE} ${TESSEL_WINDOWS_DEPS})
set(CMAKE_PREFIX_PATH ${TESSEL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must not hand out the host's libraries.
set(ENV{PKG_CONFIG_LIBDIR} ${TESSEL_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Tests, test discovery and build-time helpers run the programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
