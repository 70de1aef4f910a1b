# orvix_layer(NAME DIR DEPS...): one static library per layer from every source in DIR.
# Sources are globbed so that adding a file needs no edit here; main.cpp files are left
# to executables.
function(orvix_layer name dir)
  file(GLOB _src CONFIGURE_DEPENDS
       ${dir}/*.cpp ${dir}/*.h ${dir}/*.ui ${dir}/*.qrc)
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  set(_has_cpp FALSE)
  foreach(f IN LISTS _src)
    if(f MATCHES "\\.cpp$")
      set(_has_cpp TRUE)
    endif()
  endforeach()
  if(_has_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A layer with no code yet: an interface target keeps the dependency graph whole.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# orvix_test(NAME DIR LIBS...): one GoogleTest executable per test folder, with the shared
# main that creates the Qt application object.
function(orvix_test name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE orvix_testmain ${ARGN})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
