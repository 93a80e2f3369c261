# Qt tests run headless: the offscreen platform plugin and a private runtime folder of mode 0700
# (Qt refuses and warns about a runtime folder that others can read).
set(ZEM_XDG_RUNTIME_DIR ${CMAKE_BINARY_DIR}/xdg-runtime)
file(MAKE_DIRECTORY ${ZEM_XDG_RUNTIME_DIR})
file(CHMOD ${ZEM_XDG_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# zem_add_qt_test(name source...): one Qt Test binary linked with the core and the Qt widgets,
# registered with ctest under the headless environment.
function(zem_add_qt_test name)
  if(NOT Qt6_FOUND)
    return()
  endif()
  set(CMAKE_AUTOMOC ON)
  add_executable(${name} ${ARGN})
  if(TARGET zemui)
    target_link_libraries(${name} PRIVATE zemui)
  endif()
  target_link_libraries(${name} PRIVATE zemcore Qt6::Widgets Qt6::PrintSupport Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  zem_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${ZEM_XDG_RUNTIME_DIR}")
endfunction()
