# Small functions so that each module's CMakeLists.txt says only what it builds.
include(CMakeParseArguments)

# A static library of portable code: built in both trees (natively for the unit tests, with Wine's
# compilers for the program and its DLLs), so it must not depend on Win32.
function(tarmelo_portable_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${A_INCLUDES})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# A GoogleTest binary of the native tree; each case becomes its own ctest test.
function(tarmelo_native_test name)
  if(WINELIB)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
  gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

if(NOT WINELIB)
  return()
endif()

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

# Wine's export-definition files carry this extension (winebuild picks them out by it).
set(WINE_EXPORTS_EXT .spec)

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
  cmake_parse_arguments(A "GUI;SOUND" "RC;TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
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
  # GoogleTest's closing line is the positive marker: a crashed Winelib program may exit with 0.
  add_test(NAME winelib.${name} COMMAND ${WINE_RUN_ENV} ${WINE_RUN} ${flags} --expect "[  PASSED  ]"
           $<TARGET_FILE:${name}>)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(winelib.${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
endfunction()

# A shell script that drives a Winelib program under a private Xvfb (see tools/wine-run.sh).
function(winelib_gui_test name)
  cmake_parse_arguments(A "SOUND" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
  set(flags --gui ${A_SCRIPT})
  if(A_SOUND)
    list(PREPEND flags --sound)
  endif()
  add_test(NAME winelib.${name} COMMAND ${WINE_RUN_ENV} ${WINE_RUN} ${flags} ${A_ARGS})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(winelib.${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
endfunction()
