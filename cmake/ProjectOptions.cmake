# Warning flags are set per target, never globally.
function(setup_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Wnon-virtual-dtor -Werror=return-type)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# A portable library of the core: sources shared by both targets plus the platform file
# (*_win.cpp on Windows, *_posix.cpp elsewhere) picked by name.
function(setup_add_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;WIN_SOURCES;POSIX_SOURCES;DEPS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WIN_SOURCES})
  else()
    list(APPEND sources ${ARG_POSIX_SOURCES})
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  setup_target_options(${target})
endfunction()
