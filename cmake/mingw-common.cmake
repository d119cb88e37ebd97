# Shared by both mingw-w64 toolchain files; TOLVANE_TRIPLE and TOLVANE_WINE
# are set by the file that includes this one. The POSIX thread model is
# needed: the win32 model of GCC 12 lacks std::mutex and std::thread, which
# GoogleTest uses. Built programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TOLVANE_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVANE_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVANE_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVANE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVANE_WINE})
