# The product: 32-bit Windows, run under 32-bit Wine in a 32-bit prefix.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOLVANE_TRIPLE i686-w64-mingw32)
set(TOLVANE_WINE wine)
set(TOLVANE_WINEARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
