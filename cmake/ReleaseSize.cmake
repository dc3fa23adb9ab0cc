# Size of the Windows release programs. Every user of a product downloads Setup.exe, so the
# release build optimises for size, lets the linker drop every function and datum that nothing
# reaches, optimises Setup.exe and Uninst.exe across files, and strips them at link: what the
# build writes is what ships.
#
# Objects carry both their link-time optimisation form and ordinary machine code
# (-ffat-lto-objects): the shipped programs link with -flto, while the tests and stpack.exe, which
# link the same libraries, link the machine code as usual and stay quick to build.
option(SETUP_STRIP "Strip the Windows release programs at link" ON)
option(SETUP_LTO "Link-time optimisation for the Windows release programs" ON)
option(SETUP_LINK_MAP "Write a linker map beside each setup program (for scripts/size-report)" OFF)

# The link options of one shipped program (Setup.exe, Uninst.exe).
function(setup_shipped_link_options target)
  if(NOT WIN32)
    return()
  endif()
  set_target_properties(${target} PROPERTIES SETUP_SHIPPED ON)
  if(SETUP_LTO)
    # One partition: GCC 12 stops with an internal error when a function and a symbol it uses
    # land in different partitions, and one partition also optimises best for size.
    target_link_options(${target} PRIVATE "$<$<CONFIG:Release,MinSizeRel>:-flto=auto;-flto-partition=one>")
  endif()
  # The runtime's default handler for an uncaught exception prints the exception's type to the
  # console, which a windowed program does not have, and brings the whole C++ name demangler
  # (about 45 KB) for it. The programs end the same way without it: std::terminate aborts.
  # (32-bit Windows symbols carry a leading underscore.)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(symbol_prefix _)
  endif()
  target_link_options(${target} PRIVATE
                      $<$<CONFIG:Release,MinSizeRel>:-Wl,--defsym=${symbol_prefix}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${symbol_prefix}abort>)
  if(SETUP_STRIP)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()
  if(SETUP_LINK_MAP)
    target_link_options(${target} PRIVATE -Wl,-Map=$<TARGET_FILE_DIR:${target}>/${target}.map)
  endif()
endfunction()

# The tests link the machine code of the libraries: their own objects need no link-time form.
function(setup_compile_without_lto)
  get_property(options DIRECTORY PROPERTY COMPILE_OPTIONS)
  list(FILTER options EXCLUDE REGEX "lto")
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS ${options})
endfunction()

if(NOT WIN32)
  return()
endif()

set(setup_release $<CONFIG:Release,MinSizeRel>)
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
add_compile_options($<${setup_release}:-ffunction-sections> $<${setup_release}:-fdata-sections>)
add_link_options($<${setup_release}:-Wl,--gc-sections>)
if(SETUP_LTO)
  add_compile_options($<${setup_release}:-flto=auto> $<${setup_release}:-ffat-lto-objects>)
  # The driver would optimise any link of such objects at link time: every link but the shipped
  # programs' (marked by setup_shipped_link_options) says no.
  add_link_options("$<$<AND:${setup_release},$<NOT:$<BOOL:$<TARGET_PROPERTY:SETUP_SHIPPED>>>>:-fno-lto>")
  # The archives need the plugin-aware archiver to index their link-time optimisation symbols.
  set(CMAKE_AR ${CMAKE_CXX_COMPILER_AR})
  set(CMAKE_RANLIB ${CMAKE_CXX_COMPILER_RANLIB})
endif()

