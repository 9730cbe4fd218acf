# Cross-compiles for 32-bit Windows. Built and linked only: nothing here can
# run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
