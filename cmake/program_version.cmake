# quorvane_version: the programs' version, taken from project(VERSION) in the top CMakeLists.txt,
# the one place where it is set (app/program_version.h).
configure_file(${PROJECT_SOURCE_DIR}/cmake/program_version.cpp.in
               ${PROJECT_BINARY_DIR}/generated/program_version.cpp @ONLY)
add_library(quorvane_version STATIC ${PROJECT_BINARY_DIR}/generated/program_version.cpp)
target_include_directories(quorvane_version PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorvane_version PRIVATE quorvane_warnings)
