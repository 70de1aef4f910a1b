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

# orvix_test(NAME DIR LIBS... [FILES pattern...] [EXCLUDE regex] [SERIAL] [GUI] [DISPLAY]
#            [QT_THREADS]): one GoogleTest executable per test folder (or per FILES patterns
# within it), with the shared main that creates the Qt application object. SERIAL tests run
# alone: they use system-wide resources (shared memory keys derived from file inodes) that
# concurrent tests could collide with.
# GUI tests get the interface main (skin, style sheet, font, Fusion style); DISPLAY tests (GL,
# web engine, real X11 windows, focus) run on xcb under the test command's Xvfb with software GL,
# carry the ctest label "display", and skip themselves where no display is there.
# QT_THREADS tests drive Qt's own threads; the thread checker skips what Qt does itself in them
# (see the sanitizer options below, and tests/CMakeLists.txt for which tests and why).
function(orvix_test name dir)
  cmake_parse_arguments(T "SERIAL;GUI;DISPLAY;QT_THREADS" "EXCLUDE" "FILES" ${ARGN})
  if(T_FILES)
    set(_patterns)
    foreach(p IN LISTS T_FILES)
      list(APPEND _patterns ${dir}/${p})
    endforeach()
    file(GLOB _src CONFIGURE_DEPENDS ${_patterns})
  else()
    file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  endif()
  if(T_EXCLUDE)
    list(FILTER _src EXCLUDE REGEX "${T_EXCLUDE}")
  endif()
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  if(T_GUI OR T_DISPLAY)
    # The resources are objects: linked straight into the executable, never through an archive.
    target_link_libraries(${name} PRIVATE orvix_guitestmain orvix_resources ${T_UNPARSED_ARGUMENTS})
  else()
    target_link_libraries(${name} PRIVATE orvix_testmain ${T_UNPARSED_ARGUMENTS})
  endif()
  # What a test needs in order to pass, under scripts/run-tests.sh and plain ctest alike: a home,
  # settings, cache and runtime folder of its own in the build tree (the temporary folder stays
  # the system's: a local socket's path must stay short), the web engine's sandbox off
  # (it refuses to start as root otherwise) and the sanitizers' options and suppressions. They
  # are given through env as the test's launcher: gtest_discover_tests keeps only the first entry
  # of an ENVIRONMENT list.
  set(_home ${CMAKE_BINARY_DIR}/test-home/${name})
  file(MAKE_DIRECTORY ${_home}/home ${_home}/config ${_home}/data ${_home}/cache ${_home}/run)
  file(CHMOD ${_home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(_env env HOME=${_home}/home XDG_CONFIG_HOME=${_home}/config XDG_DATA_HOME=${_home}/data
      XDG_CACHE_HOME=${_home}/cache XDG_RUNTIME_DIR=${_home}/run
      QTWEBENGINE_DISABLE_SANDBOX=1)
  set(_supp ${CMAKE_SOURCE_DIR}/tests/sanitizers)
  if(ORVIX_SANITIZE)
    list(APPEND _env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
         LSAN_OPTIONS=suppressions=${_supp}/lsan.supp:print_suppressions=0)
  elseif(ORVIX_TSAN)
    # The thread checker also counts what uninstrumented libraries do themselves (Qt's copies,
    # allocations and frees), so that a race between our code and Qt's access to data we hand it
    # is seen. QT_THREADS tests run code on Qt's own threads (network, D-Bus, thread pool, web
    # engine) or hand data between threads through Qt's event queue: Qt orders those with locks
    # the checker cannot see, inside functions that carry no symbol a suppression could name, so
    # for them the checker skips what those libraries do themselves (tests/sanitizers/tsan.supp).
    set(_tsan suppressions=${_supp}/tsan.supp:halt_on_error=1:second_deadlock_stack=1)
    if(T_QT_THREADS)
      string(APPEND _tsan :ignore_noninstrumented_modules=1)
    endif()
    list(APPEND _env TSAN_OPTIONS=${_tsan})
  endif()
  if(T_DISPLAY)
    # One X server for all of them: they take turns, so that no window of one steals another's
    # focus or clicks.
    list(APPEND _env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1)
    set(_props LABELS display RESOURCE_LOCK x_display)
  else()
    list(APPEND _env QT_QPA_PLATFORM=offscreen)
    set(_props)
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${_env}")
  if(T_SERIAL)
    list(APPEND _props RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${_props}
    DISCOVERY_TIMEOUT 60)
endfunction()

# orvix_module(NAME SOURCES...): one of our modules, a Qt plugin the application loads when it is
# first needed (ui/toolkit/Modules.h). Built into lib/orvixtools of the build tree, installed
# into lib/orvixtools beside the application's libraries.
set(ORVIX_MODULE_BUILD_DIR ${CMAKE_BINARY_DIR}/lib/orvixtools)
function(orvix_module name)
  add_library(${name} MODULE ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${ORVIX_MODULE_BUILD_DIR})
  install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/orvixtools)
endfunction()
