# add_uninstaller_executable(<target> CONFIG <product.ini> FILE_LIST <file> [OUTPUT_NAME <name>]
#                            [DEPENDS <targets or files>...])
# Builds one product's Uninst.exe: the same configuration strings (ids 1001-1012), icons and
# manifest as the product's Setup.exe, and the list of the files that the product's package
# installs into the install folder as the resource "UNINSTALLFILES".
#
# The file list: UTF-8, one path per line relative to the install folder, "\" between folders
# ("/" is taken as "\"), blank lines skipped, e.g.
#     Glyphor.exe
#     Uninst.exe
#     Help\Guide.txt
# Files that the package puts into the system folder are shared and never listed. An entry that
# would leave the install folder (a drive, a leading "\", "." or "..") makes the uninstaller
# refuse to remove anything. OUTPUT_NAME defaults to Uninst; the setup registers
# <install folder>\Uninst.exe as the product's uninstall command.
function(add_uninstaller_executable target)
  cmake_parse_arguments(ARG "" "CONFIG;FILE_LIST;OUTPUT_NAME" "DEPENDS" ${ARGN})
  if(NOT ARG_CONFIG OR NOT ARG_FILE_LIST)
    message(FATAL_ERROR "add_uninstaller_executable(${target}) needs CONFIG and FILE_LIST")
  endif()
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME Uninst)
  endif()
  get_filename_component(config ${ARG_CONFIG} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  get_filename_component(list ${ARG_FILE_LIST} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  add_setup_executable(${target}
    CONFIG ${config}
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
    ENTRY setup_uninstall_entry
    RCDATA UNINSTALLFILES=${list}
    LIBRARIES setup_uninstall
    DEPENDS ${ARG_DEPENDS})
endfunction()
