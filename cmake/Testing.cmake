# GoogleTest is built from Debian's source package for each target.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
  # The Windows C++ library has no std::mutex (see cmake/mingw-w64-x86_64.cmake), which the
  # framework's own notification needs: it takes ours instead.
  foreach(target gtest gtest_main gmock gmock_main)
    target_compile_definitions(${target} PUBLIC GTEST_HAS_NOTIFICATION_=1)
    target_compile_options(${target} PUBLIC -include ${PROJECT_SOURCE_DIR}/tests/support/TestFrameworkNotification_win.h)
  endforeach()
endif()

if(CMAKE_CROSSCOMPILING)
  # Every Windows test shares one private Wine session: a fixture starts it and another ends it.
  add_test(NAME wine_session_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_session_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# One test executable is one ctest test (one Wine start when cross-compiling).
# LANGUAGES registers the executable once per locale (test name suffixed with _en, _zh, ...):
# under Wine the ANSI code page of a process follows the LANG it starts with, and a Windows
# program cannot start a child with another one, so each language is its own run.
function(setup_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;ENVIRONMENT;LANGUAGES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  setup_target_options(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  if(ARG_LANGUAGES)
    foreach(lang ${ARG_LANGUAGES})
      string(SUBSTRING ${lang} 0 2 short)
      setup_register_test(${name}_${short} ${name} ${ARG_TIMEOUT} "LANG=${lang};${ARG_ENVIRONMENT}")
    endforeach()
  else()
    setup_register_test(${name} ${name} ${ARG_TIMEOUT} "${ARG_ENVIRONMENT}")
  endif()
endfunction()

function(setup_register_test test executable timeout environment)
  add_test(NAME ${test} COMMAND ${executable})
  set_tests_properties(${test} PROPERTIES TIMEOUT ${timeout})
  if(environment)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()
