# The MinGW-w64 cross toolchain for CMAKE_SYSTEM_PROCESSOR, which the ABI's toolchain file sets.
set(CMAKE_SYSTEM_NAME Windows)
set(KORVALT_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The win32 thread model: its runtime locks with the system's own primitives, where the posix one
# links a pthread emulation (some 30 KiB) into every exe, since the unwinder and the exception
# allocator lock through it. Korvalt runs on one thread; the model offers no std::thread or
# std::mutex, so a test that needs a second thread calls CreateThread.
set(KORVALT_CXX_COMPILER ${KORVALT_TRIPLE}-g++-win32)
set(CMAKE_C_COMPILER ${KORVALT_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KORVALT_CXX_COMPILER})
set(CMAKE_RC_COMPILER ${KORVALT_TRIPLE}-windres)
# Archives that the link-time optimiser can read.
set(CMAKE_AR ${KORVALT_TRIPLE}-gcc-ar-win32)
set(CMAKE_RANLIB ${KORVALT_TRIPLE}-gcc-ranlib-win32)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVALT_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# windres preprocesses with the plain "<triple>-gcc", which only the Debian alternatives provide
# and a fresh install does not always register: it is named outright.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${KORVALT_TRIPLE}-gcc-win32 --preprocessor-arg=-E \
--preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
