# Cross-builds for 64-bit Windows with Debian's MinGW-w64 GCC (posix thread model: the win32
# one has no std::thread in GCC 12). GCC, not MSVC: the resampler's exactness needs the x87
# 80-bit long double, which MSVC does not have.
# GUSTARA_WINDOWS_DEPS (a cache variable or the environment): the folder that
# scripts/windows/build-deps.sh fills with the libraries built for Windows; its
# --print-prefix option names it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GUSTARA_WINDOWS_HOST x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${GUSTARA_WINDOWS_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GUSTARA_WINDOWS_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${GUSTARA_WINDOWS_HOST}-windres)
set(CMAKE_AR ${GUSTARA_WINDOWS_HOST}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${GUSTARA_WINDOWS_HOST}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT GUSTARA_WINDOWS_DEPS AND DEFINED ENV{GUSTARA_WINDOWS_DEPS})
  set(GUSTARA_WINDOWS_DEPS $ENV{GUSTARA_WINDOWS_DEPS})
endif()
# GUSTARA_WINDOWS_QT (likewise): the Qt for Windows that scripts/windows/build-qt.sh builds,
# for the window.
if(NOT GUSTARA_WINDOWS_QT AND DEFINED ENV{GUSTARA_WINDOWS_QT})
  set(GUSTARA_WINDOWS_QT $ENV{GUSTARA_WINDOWS_QT})
endif()
# try_compile projects see the variables too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GUSTARA_WINDOWS_DEPS GUSTARA_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH /usr/${GUSTARA_WINDOWS_HOST} ${GUSTARA_WINDOWS_DEPS} ${GUSTARA_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives first, so the programs need no DLL of the libraries they link.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .dll.a .lib)

# Programs that run on their own: the GCC runtime, the C++ library and winpthread linked in.
# Reproducible: no link time in the PE header.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

# Tests and other built programs run under Wine.
find_program(GUSTARA_WINE NAMES wine wine64)
if(GUSTARA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GUSTARA_WINE})
endif()
