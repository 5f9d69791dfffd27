# Cross-building the Windows program (64-bit) with Debian's mingw-w64, the
# posix-thread flavour (the win32 one has no std::thread or std::mutex):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Everything is linked statically, so the program needs only the DLLs that
# every Windows has. Test programs run under wine (see wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(vorlak_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${vorlak_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${vorlak_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${vorlak_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${vorlak_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthreads inside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
