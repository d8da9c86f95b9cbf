# Second configuration of the same source tree: everything that uses Win32 is built with Wine's compilers.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER winegcc)
set(CMAKE_CXX_COMPILER wineg++)
set(WINELIB ON CACHE BOOL "Winelib build" FORCE)
find_program(WRC wrc REQUIRED)
# Not detected for wineg++; without it find_package(GTest) fails.
set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
