# quorvane_cli11: the header-only CLI11 command-line parser. A native build finds it among the
# system headers; a cross build takes Debian's copy (libcli11-dev) on its own, without putting
# the host's /usr/include on the include path.
if(TARGET quorvane_cli11)
  return()
endif()
add_library(quorvane_cli11 INTERFACE)
if(CMAKE_CROSSCOMPILING)
  find_path(QUORVANE_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QUORVANE_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI11 headers not found in /usr/include/CLI (Debian package libcli11-dev)")
  endif()
  set(copy_dir ${CMAKE_BINARY_DIR}/third_party/cli11)
  file(COPY ${QUORVANE_CLI11_INCLUDE_DIR}/CLI DESTINATION ${copy_dir})
  target_include_directories(quorvane_cli11 SYSTEM INTERFACE ${copy_dir})
endif()
