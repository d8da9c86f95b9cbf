# The native tree: portable code and its unit tests, with the sanitizers on for the tests,
# plus the Winelib sub-build so that one build and one ctest cover both.
option(TARMELO_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
if(TARMELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

include(ExternalProject)
option(TARMELO_WINELIB "Build the Winelib half (program, DLLs, Winelib tests)" ON)
if(TARMELO_WINELIB)
  ExternalProject_Add(winelib
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/winelib
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/winelib-toolchain.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTARMELO_TEMPLATE_PREFIX=${CMAKE_BINARY_DIR}/wine-template
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # ctest of this tree also runs the sub-build's tests; subdirs() must name the folder absolutely,
  # because an included test file resolves relative names against this tree.
  file(WRITE ${CMAKE_BINARY_DIR}/winelib-tests.cmake "subdirs(\"${CMAKE_BINARY_DIR}/winelib\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/winelib-tests.cmake)
endif()
