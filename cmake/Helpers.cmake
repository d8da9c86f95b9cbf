# Small functions so that each module's CMakeLists.txt says only what it builds. Three trees run the
# same lists: the native tree (portable code with the sanitizers, and its unit tests), the portable
# tree (TARMELO_PORTABLE_ONLY: the same portable code once more, plain g++ without sanitizers, into the
# archives that ship) and the Winelib tree (everything that uses Win32, linking those archives).
# Every helper is safe to call in every tree; it does nothing where its kind of target does not belong.
include(CMakeParseArguments)

# A static library of portable code: plain g++, never <windows.h>, never _WIN32. In the Winelib tree it
# is the archive the portable tree built, imported under the same name with the same dependencies.
function(tarmelo_portable_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(WINELIB)
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${TARMELO_PORTABLE_LIB_DIR}/lib${name}.a)
    if(A_LIBS)
      set_property(TARGET ${name} PROPERTY INTERFACE_LINK_LIBRARIES ${A_LIBS})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
  list(TRANSFORM A_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  set_property(GLOBAL APPEND PROPERTY TARMELO_PORTABLE_SOURCES ${A_SOURCES})
endfunction()

# A GoogleTest binary of the native tree; each case becomes its own ctest test.
function(tarmelo_native_test name)
  if(WINELIB OR TARMELO_PORTABLE_ONLY)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
  gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# One outside library in codecs/: its portable core (a library of its own, tested natively), the
# Winelib DLL that exports exactly what the export header declares, and the core's native tests.
#   tarmelo_codec(NAME CORE core SOURCES core-sources DLL dll-sources LIBS core-libs
#                 [DLL_LIBS more-dll-libs] [TESTS test-sources] [TEST_LIBS more-test-libs])
# Without CORE the DLL is built from its own sources alone.
function(tarmelo_codec name)
  cmake_parse_arguments(A "" "CORE" "SOURCES;DLL;LIBS;DLL_LIBS;TESTS;TEST_LIBS" ${ARGN})
  set(dll_libs ${A_DLL_LIBS} library_exports)
  if(A_CORE)
    tarmelo_portable_library(${A_CORE} SOURCES ${A_SOURCES} LIBS ${A_LIBS})
    list(PREPEND dll_libs ${A_CORE})
    if(A_TESTS)
      tarmelo_native_test(${A_CORE}_test SOURCES ${A_TESTS} LIBS ${A_CORE} ${A_TEST_LIBS})
    endif()
  else()
    list(APPEND dll_libs ${A_LIBS})
  endif()
  winelib_dll(${name} SOURCES ${A_DLL} LIBS ${dll_libs})
endfunction()

# Lists the folders below the current one that have a CMakeLists.txt, in name order.
function(tarmelo_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Wine's export-definition files carry this extension (winebuild picks them out by it).
set(WINE_EXPORTS_EXT .spec)

if(NOT WINELIB)
  # The Win32 helpers below exist only in the Winelib tree; elsewhere they do nothing.
  foreach(helper winelib_resources winelib_dll winelib_exe winelib_test winelib_gui_test winelib_library)
    cmake_language(EVAL CODE "function(${helper})\nendfunction()")
  endforeach()
  return()
endif()

# Win32 code of a module: a static library built with Wine's compilers.
function(winelib_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# Compiles a resource script with wrc and adds the result to a target.
function(winelib_resources target rc)
  get_filename_component(rc_abs ${rc} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)
  get_filename_component(rc_name ${rc_abs} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_name}.res)
  file(GLOB_RECURSE rc_deps CONFIGURE_DEPENDS ${rc_dir}/*.h ${rc_dir}/*.bmp ${rc_dir}/*.ico ${rc_dir}/*.rc)
  add_custom_command(OUTPUT ${res}
    COMMAND ${WRC} -I${rc_dir} -I${CMAKE_SOURCE_DIR} -o ${res} ${rc_abs}
    DEPENDS ${rc_abs} ${rc_deps}
    COMMENT "wrc ${rc_name}.rc")
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${res})
endfunction()

# A Winelib DLL that exports only through its export-definition file, NAME plus WINE_EXPORTS_EXT in
# the calling folder unless EXPORTS names another. Wine loads it by name only through a file called
# NAME.dll on the search path, so the ELF object is copied to that name beside the program.
function(winelib_dll name)
  cmake_parse_arguments(A "" "EXPORTS;OUTPUT_DIR;RC" "SOURCES;LIBS" ${ARGN})
  if(NOT A_EXPORTS)
    set(A_EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}${WINE_EXPORTS_EXT})
  endif()
  get_filename_component(exports_file ${A_EXPORTS} ABSOLUTE)
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".dll.so" LINK_DEPENDS ${exports_file}
    CXX_VISIBILITY_PRESET hidden C_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(A_OUTPUT_DIR)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${A_OUTPUT_DIR})
  else()
    set(A_OUTPUT_DIR ${TARMELO_BIN_DIR})
  endif()
  target_link_options(${name} PRIVATE ${exports_file} -Wl,-Bsymbolic)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(A_RC)
    winelib_resources(${name} ${A_RC})
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${name}> ${A_OUTPUT_DIR}/${name}.dll)
endfunction()

# A Winelib program (launcher script NAME.exe plus NAME.exe.so).
function(winelib_exe name)
  cmake_parse_arguments(A "GUI" "RC" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(A_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  if(A_RC)
    winelib_resources(${name} ${A_RC})
  endif()
endfunction()

# A GoogleTest console program run under Wine in a throw-away prefix, registered as one ctest test
# (every Wine start costs about a second, so cases are not discovered one by one).
#   GUI: the test gets a private Xvfb; SOUND: a PulseAudio null sink.
function(winelib_test name)
  cmake_parse_arguments(A "GUI;SOUND" "RC;TIMEOUT" "SOURCES;LIBS;DEPENDS;SHARDS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main -lpthread)
  target_compile_definitions(${name} PRIVATE TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
  if(A_RC)
    winelib_resources(${name} ${A_RC})
  endif()
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  set(flags)
  if(A_GUI)
    list(APPEND flags --x)
  endif()
  if(A_SOUND)
    list(APPEND flags --sound)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  # wine-run.sh stops the program after WINE_RUN_TIMEOUT seconds: a little less than ctest allows, so
  # that the run is stopped by the script, which cleans up after it.
  math(EXPR run_timeout "${A_TIMEOUT} - 20")
  if(run_timeout LESS 240)
    set(run_timeout 240)
  endif()
  # A long program may be split into shards, "label=gtest filter" each, run as tests of their own so
  # that ctest can run them side by side.
  set(runs)
  if(A_SHARDS)
    foreach(shard ${A_SHARDS})
      string(REGEX REPLACE "=.*" "" label "${shard}")
      string(REGEX REPLACE "^[^=]*=" "" filter "${shard}")
      list(APPEND runs "winelib.${name}.${label}|--gtest_filter=${filter}")
    endforeach()
  else()
    set(runs "winelib.${name}|")
  endif()
  foreach(run ${runs})
    string(REGEX REPLACE "\\|.*" "" test_name "${run}")
    string(REGEX REPLACE "^[^|]*\\|" "" test_args "${run}")
    # GoogleTest's closing line is the positive marker: a crashed Winelib program may exit with 0.
    add_test(NAME ${test_name} COMMAND ${WINE_RUN_ENV} WINE_RUN_TIMEOUT=${run_timeout} ${WINE_RUN} ${flags}
             --expect "[  PASSED  ]" $<TARGET_FILE:${name}> ${test_args})
    # A failed case fails the test even when the program's exit code is lost on the way out of Wine.
    set_tests_properties(${test_name} PROPERTIES TIMEOUT ${A_TIMEOUT} FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
  endforeach()
endfunction()

# A shell script that drives a Winelib program under a private Xvfb (see tools/wine-run.sh).
function(winelib_gui_test name)
  cmake_parse_arguments(A "SOUND" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
  set(flags --gui ${A_SCRIPT})
  if(A_SOUND)
    list(PREPEND flags --sound)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  add_test(NAME winelib.${name} COMMAND ${WINE_RUN_ENV} WINE_RUN_TIMEOUT=${A_TIMEOUT} ${WINE_RUN} ${flags} ${A_ARGS})
  set_tests_properties(winelib.${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
endfunction()
