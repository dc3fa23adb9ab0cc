# How this build makes programs that carry a product: the stubs (the wizard and the uninstaller
# with no product resources), and add_setup_executable(), which runs `stpack build` as a publisher
# does. No resource compiler runs per product.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The folder where the stubs are written: beside the Windows stpack.exe, which finds them there.
set(SETUP_STUB_DIR ${CMAKE_BINARY_DIR}/tools/stpack)

function(setup_make_icons)
  if(TARGET setup_icons)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/icons)
  add_custom_command(OUTPUT ${dir}/AppIcon.ico ${dir}/MainIcon.ico
                     COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-icons ${dir}
                     DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-icons
                     COMMENT "Drawing the icons")
  add_custom_target(setup_icons DEPENDS ${dir}/AppIcon.ico ${dir}/MainIcon.ico)
endfunction()

# add_stub_executable(<target> ENTRY <object library> LIBRARIES <libs>... OUTPUT_NAME <name>)
# A program with its icons and manifest and nothing of a product, stripped so that stpack can
# replace its resource section.
function(add_stub_executable target)
  cmake_parse_arguments(ARG "" "ENTRY;OUTPUT_NAME" "LIBRARIES" ${ARGN})
  setup_make_icons()
  set(STUB_ICONS ${CMAKE_BINARY_DIR}/icons)
  set(STUB_MANIFEST ${PROJECT_SOURCE_DIR}/app/Setup.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/Stub.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
    "${STUB_ICONS}/AppIcon.ico;${STUB_ICONS}/MainIcon.ico;${STUB_MANIFEST}")
  add_executable(${target} WIN32 ${rc} $<TARGET_OBJECTS:${ARG_ENTRY}> $<TARGET_OBJECTS:setup_library_failures>)
  add_dependencies(${target} setup_icons)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  # Stripped whatever the build type: stpack replaces the last section, so nothing may follow it.
  # Only the size report's symbol build (SETUP_STRIP off) keeps the symbols, and builds no product.
  target_link_options(${target} PRIVATE -municode $<$<BOOL:${SETUP_STRIP}>:-s>)
  setup_shipped_link_options(${target})
  # x86 stubs carry their architecture in their names, so both kinds can stand beside stpack.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$")
    string(APPEND ARG_OUTPUT_NAME _x86)
  endif()
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME} RUNTIME_OUTPUT_DIRECTORY ${SETUP_STUB_DIR})
endfunction()

# stpack for the build machine: a host build of the packer alone.
function(setup_host_stpack)
  if(TARGET host_stpack)
    return()
  endif()
  include(ExternalProject)
  ExternalProject_Add(host_stpack
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DSETUP_BUILD_TESTS=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target stpack
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/host-tools/tools/stpack/stpack
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
endfunction()
set(SETUP_HOST_STPACK ${CMAKE_BINARY_DIR}/host-tools/tools/stpack/stpack)

# add_setup_executable(<target> PRODUCT <product file> OUTPUT <Setup.exe>
#                      [UNINSTALLER <Uninst.exe>] [FILE_LIST <file>] [DEPENDS <targets or files>...]
#                      [EXCLUDE_FROM_ALL])
# Runs `stpack build PRODUCT -o OUTPUT` with this build's stubs, exactly as a publisher would.
# UNINSTALLER also keeps the generated uninstaller; FILE_LIST gives it a hand-made list (tests).
function(add_setup_executable target)
  cmake_parse_arguments(ARG "EXCLUDE_FROM_ALL" "PRODUCT;OUTPUT;UNINSTALLER;FILE_LIST" "DEPENDS" ${ARGN})
  if(NOT ARG_PRODUCT OR NOT ARG_OUTPUT)
    message(FATAL_ERROR "add_setup_executable(${target}) needs PRODUCT and OUTPUT")
  endif()
  setup_host_stpack()
  set(command ${SETUP_HOST_STPACK} build ${ARG_PRODUCT} -o ${ARG_OUTPUT} --stubs ${SETUP_STUB_DIR})
  set(outputs ${ARG_OUTPUT})
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$")
    list(APPEND command --architecture x86)  # this build's stubs
  endif()
  if(ARG_UNINSTALLER)
    list(APPEND command --uninstaller ${ARG_UNINSTALLER})
    list(APPEND outputs ${ARG_UNINSTALLER})
  endif()
  if(ARG_FILE_LIST)
    list(APPEND command --file-list ${ARG_FILE_LIST})
  endif()
  get_filename_component(output_dir ${ARG_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${outputs}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
                     COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${command}
                     DEPENDS ${ARG_PRODUCT} ${ARG_FILE_LIST} ${ARG_DEPENDS} host_stpack ${SETUP_HOST_STPACK}
                             setup_stub uninst_stub
                     COMMENT "stpack build ${ARG_PRODUCT}")
  if(ARG_EXCLUDE_FROM_ALL)
    add_custom_target(${target} DEPENDS ${outputs})
  else()
    add_custom_target(${target} ALL DEPENDS ${outputs})
  endif()
endfunction()
