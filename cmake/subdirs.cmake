# Adds every child folder of the current source folder that has a CMakeLists.txt.
file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
foreach(_child IN LISTS _children)
  if(IS_DIRECTORY ${_child} AND EXISTS ${_child}/CMakeLists.txt)
    add_subdirectory(${_child})
  endif()
endforeach()
