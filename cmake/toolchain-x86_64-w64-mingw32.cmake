# The same code as 64-bit Windows, for running the Windows tests under a 64-bit
# Wine on machines whose kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
