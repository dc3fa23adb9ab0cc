# add_setup_executable(<target> CONFIG <product.ini> [PACKAGE <file.stp>] [IMAGES <dir>]
#                      [OUTPUT_NAME <name>] [ENTRY <object library>] [RCDATA <NAME=file>...]
#                      [LIBRARIES <libs>...] [DEPENDS <targets or files>...])
# Builds one product's setup program: the configuration strings (ids 1001-1012) from the product
# file, the icons, the manifest, the images and the package as resources, linked with the wizard.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

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

function(add_setup_executable target)
  cmake_parse_arguments(ARG "" "CONFIG;PACKAGE;IMAGES;OUTPUT_NAME;ENTRY" "RCDATA;LIBRARIES;DEPENDS" ${ARGN})
  if(NOT ARG_ENTRY)
    set(ARG_ENTRY setup_app_entry)
  endif()
  if(NOT ARG_LIBRARIES)
    set(ARG_LIBRARIES setup_wizard)
  endif()
  setup_make_icons()

  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set(command ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-product-rc
      --config ${ARG_CONFIG} --icons ${CMAKE_BINARY_DIR}/icons
      --manifest ${PROJECT_SOURCE_DIR}/app/Setup.manifest -o ${rc})
  set(depends ${ARG_CONFIG} ${PROJECT_SOURCE_DIR}/scripts/make-product-rc ${PROJECT_SOURCE_DIR}/app/Setup.manifest
      ${CMAKE_BINARY_DIR}/icons/AppIcon.ico ${CMAKE_BINARY_DIR}/icons/MainIcon.ico ${ARG_DEPENDS})
  if(ARG_IMAGES)
    list(APPEND command --images ${ARG_IMAGES})
    file(GLOB images ${ARG_IMAGES}/*)
    list(APPEND depends ${images})
  endif()
  if(ARG_PACKAGE)
    list(APPEND command --package ${ARG_PACKAGE})
    list(APPEND depends ${ARG_PACKAGE})
  endif()
  foreach(item ${ARG_RCDATA})
    list(APPEND command --rcdata ${item})
    string(REGEX REPLACE "^[^=]*=" "" file ${item})
    list(APPEND depends ${file})
  endforeach()
  add_custom_command(OUTPUT ${rc} COMMAND ${command} DEPENDS ${depends}
                     COMMENT "Writing the resources of ${target}")

  add_executable(${target} WIN32 ${rc} $<TARGET_OBJECTS:${ARG_ENTRY}>)
  add_dependencies(${target} setup_icons)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  target_link_options(${target} PRIVATE -municode)
  setup_shipped_link_options(${target})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
endfunction()
