# The MinGW-w64 cross toolchain for CMAKE_SYSTEM_PROCESSOR, which the ABI's toolchain file sets.
set(CMAKE_SYSTEM_NAME Windows)
set(KORVALT_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${KORVALT_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVALT_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVALT_TRIPLE}-windres)
# Archives that the link-time optimiser can read.
set(CMAKE_AR ${KORVALT_TRIPLE}-gcc-ar-posix)
set(CMAKE_RANLIB ${KORVALT_TRIPLE}-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVALT_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# windres preprocesses with the plain "<triple>-gcc", which only the Debian alternatives provide
# and a fresh install does not always register: it is named outright.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${KORVALT_TRIPLE}-gcc-posix --preprocessor-arg=-E \
--preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
