# Cross-compiling for Windows with the mingw-w64 win32-thread-model
# compilers. Their runtime needs no thread library: the posix-model runtime
# links winpthreads statically, which keeps a TLS slot and handles each time
# a module is loaded and unloaded and gives them back only when the process
# ends, so a host that cycles the library would run out of TLS slots.
# Included by mingw-<arch>.cmake with MINGW_ARCH set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(CMAKE_C_COMPILER ${MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine, in the build tree's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
