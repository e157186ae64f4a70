# GoogleTest for a cross build, compiled from the sources of Debian's googletest package; the
# installed libraries are built for the host. Provides the targets find_package(GTest) would.
set(QUORVANE_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources used when cross-building")
if(NOT EXISTS ${QUORVANE_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${QUORVANE_GOOGLETEST_SOURCE_DIR} "
                      "(Debian package googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# GoogleTest's own Windows threading primitives rather than winpthread's.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${QUORVANE_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()
