# The native tree: portable code and its unit tests, with the sanitizers on for the tests, plus two
# sub-builds so that one build and one ctest cover everything: the portable tree (the same portable
# code without sanitizers, into the archives the program and DLLs link; an ASan-built object cannot be
# loaded by Wine) and the Winelib tree.
option(TARMELO_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
option(TARMELO_PORTABLE_ONLY "Build only the portable libraries, for the Winelib tree to link" OFF)
if(TARMELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TARMELO_PORTABLE_ONLY)
  # These archives go into Winelib DLLs: see -fno-gnu-unique in Winelib.cmake.
  add_compile_options(-fno-gnu-unique)
  set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  return()
endif()

include(ExternalProject)
option(TARMELO_WINELIB "Build the Winelib half (program, DLLs, Winelib tests)" ON)
if(TARMELO_WINELIB)
  ExternalProject_Add(portable
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/portable
    CMAKE_ARGS
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTARMELO_PORTABLE_ONLY=ON
      -DTARMELO_SANITIZE=OFF
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  ExternalProject_Add(winelib
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/winelib
    DEPENDS portable
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/winelib-toolchain.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTARMELO_TEMPLATE_PREFIX=${CMAKE_BINARY_DIR}/wine-template
      -DTARMELO_PORTABLE_LIB_DIR=${CMAKE_BINARY_DIR}/portable/lib
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # ctest of this tree also runs the sub-build's tests; subdirs() must name the folder absolutely,
  # because an included test file resolves relative names against this tree.
  file(WRITE ${CMAKE_BINARY_DIR}/winelib-tests.cmake "subdirs(\"${CMAKE_BINARY_DIR}/winelib\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/winelib-tests.cmake)
endif()
