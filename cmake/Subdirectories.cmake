# Adds every direct child folder of dir that has a CMakeLists.txt, in name order.
function(convodesk_add_children dir)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Registers a Qt Test executable with CTest, run offscreen with a private runtime folder.
function(convodesk_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  qt_add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime;CONVODESK_SOURCE_DIR=${CMAKE_SOURCE_DIR};CONVODESK_BINARY_DIR=${CMAKE_BINARY_DIR};CONVODESK_SHARED_DIR=${CMAKE_SOURCE_DIR}/../shared")
endfunction()
