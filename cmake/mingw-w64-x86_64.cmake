# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads), run through Wine:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPARVIX_BUILD_GUI=OFF \
#         -DPARVIX_GF_COMPLETE_DIR=$(scripts/gf-complete-windows.sh | tail -n 1)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PARVIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PARVIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PARVIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PARVIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PARVIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static executables: no MinGW runtime DLLs to carry along or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and gtest_discover_tests run the test programs through Wine.
find_program(PARVIX_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PARVIX_WINE})
