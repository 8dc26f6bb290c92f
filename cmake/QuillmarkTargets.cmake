# One library per source folder and one test program per test folder, so that a folder's code is built and
# tested on its own, and adding a file never means editing a list.

# quillmark_library(NAME DIR [DEPS targets...])
# Builds every .cpp under src/DIR (subfolders included) into the static library NAME; headers are included
# as "DIR/File.h". A folder of headers only becomes an interface library.
function(quillmark_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# quillmark_tests(NAME DIR [DEPS targets...] [PRECOMPILE headers...])
# Builds every .cpp under tests/DIR (subfolders included) into the GoogleTest program NAME and registers it
# with CTest. A folder without tests yet registers nothing. GoogleTest's headers, which every test file
# includes and which take about half of a small test file's compile time, are precompiled once per program,
# with the PRECOMPILE headers beside them (a heavy header most of the folder's files include).
function(quillmark_tests name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;PRECOMPILE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  add_dependencies(${name} test_bundle_resources)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h> ${ARG_PRECOMPILE})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# quillmark_bundle_resources(NAME)
# The custom target NAME copies the bundle's resources into the build folder of the calling CMakeLists, beside
# the programs built there, where ns::Bundle looks for them; each program that reads them depends on NAME.
function(quillmark_bundle_resources name)
  add_custom_target(${name}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources ${CMAKE_CURRENT_BINARY_DIR}/resources)
endfunction()
