# A test vehicle for machines that run no 32-bit code: the same sources for
# 64-bit Windows. The wine script picks the 32-bit loader whenever wine32 is
# installed, so the 64-bit loader is named directly.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOLVANE_TRIPLE x86_64-w64-mingw32)
set(TOLVANE_WINE /usr/lib/wine/wine64)
set(TOLVANE_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
