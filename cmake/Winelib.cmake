# The Winelib tree: Win32 code compiled with wineg++/winegcc against Wine's headers.
list(APPEND CMAKE_C_IMPLICIT_INCLUDE_DIRECTORIES /usr/include)
list(APPEND CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES /usr/include)
# The platform files reset a suffix set in the toolchain file.
set(CMAKE_EXECUTABLE_SUFFIX .exe)

# The portable libraries come from the portable tree (plain g++), which the native tree builds first.
if(NOT TARMELO_PORTABLE_LIB_DIR)
  message(FATAL_ERROR "TARMELO_PORTABLE_LIB_DIR is not set: configure the native tree, which builds this one")
endif()

if(NOT TARMELO_TEMPLATE_PREFIX)
  set(TARMELO_TEMPLATE_PREFIX ${CMAKE_BINARY_DIR}/wine-template)
endif()
# Program, DLLs and Winelib tests share one folder, so LoadLibrary finds each DLL beside the program.
set(TARMELO_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TARMELO_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${TARMELO_BIN_DIR})
set(WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)
set(WINE_RUN_ENV ${CMAKE_COMMAND} -E env WINE_TEMPLATE=${TARMELO_TEMPLATE_PREFIX})


# A DLL with a GNU unique symbol (a function-local static of an inline function, as libstdc++'s
# to_chars tables) can never be dlclose'd, and Wine then finds no exports when it is loaded again after
# FreeLibrary; every copy stays the module's own anyway.
add_compile_options(-fno-gnu-unique)

# Same-named classes in the program and the DLLs must never bind to each other's copies.
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

# A Winelib program is a shared object: everything is compiled -fPIC (CMake would pass -fPIE).
set(CMAKE_POSITION_INDEPENDENT_CODE OFF)
add_compile_options(-fPIC)

# The template prefix every Winelib test clones, made once per build tree at build time so tests
# do not all wait for it.
add_custom_target(wine_template ALL
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/wine-template.sh ${TARMELO_TEMPLATE_PREFIX}
  COMMENT "Wine template prefix"
  USES_TERMINAL)
