# Stand-in doubles of every library in binding_table.inc, made from its ENTRY lines:
#   complete/<lib>.dll  exports every entry point
#   lacklast/<lib>.dll  exports all but the last one
#   noencore/xvidcore.dll exports xvid_decore and xvid_global only
# The binder test runs from its own folder (no real DLL beside it) and picks a set with SetDllDirectory.
set(doubles_dir ${CMAKE_CURRENT_BINARY_DIR}/doubles)
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/binding_table.inc table_lines REGEX "^(ENTRY|END_LIBRARY)\\(")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/binding_table.inc)

set(double_targets)
function(binder_double variant lib)
  set(exports_file ${doubles_dir}/${variant}_${lib}${WINE_EXPORTS_EXT})
  set(text "")
  foreach(name IN LISTS ARGN)
    string(APPEND text "@ cdecl ${name}() double_entry\n")
  endforeach()
  file(WRITE ${exports_file} "${text}")
  set(target double_${variant}_${lib})
  add_library(${target} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/tests/double_entry.c)
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".dll.so" OUTPUT_NAME ${lib}
    LIBRARY_OUTPUT_DIRECTORY ${doubles_dir}/${variant} LINK_DEPENDS ${exports_file} C_VISIBILITY_PRESET hidden)
  target_link_options(${target} PRIVATE ${exports_file})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${doubles_dir}/${variant}/${lib}.dll)
  set(double_targets ${double_targets} ${target} PARENT_SCOPE)
endfunction()

set(entries)
foreach(line IN LISTS table_lines)
  if(line MATCHES "^ENTRY\\(([a-z0-9_]+), ([a-z0-9_]+),")
    set(lib ${CMAKE_MATCH_1})
    list(APPEND entries ${CMAKE_MATCH_2})
  elseif(line MATCHES "^END_LIBRARY\\(")
    binder_double(complete ${lib} ${entries})
    list(POP_BACK entries)
    binder_double(lacklast ${lib} ${entries})
    set(entries)
  endif()
endforeach()
binder_double(noencore xvidcore xvid_decore xvid_global)

winelib_test(binders_test SOURCES tests/binders_test.cpp LIBS binders afx DEPENDS ${double_targets})
set_target_properties(binders_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/binders_test)
target_compile_definitions(binders_test PRIVATE DOUBLES_DIR="${doubles_dir}")
