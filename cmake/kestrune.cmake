# One layer of the product: a static library kr_<name> of the sources in its
# folder and subfolders (or in SOURCES_DIRS only), linking the layers it
# builds on. A layer with no sources yet is an interface library.
function(kr_add_layer name)
  cmake_parse_arguments(arg "" "" "SOURCES_DIRS;DEPENDS" ${ARGN})
  set(sources)
  if(arg_SOURCES_DIRS)
    foreach(dir IN LISTS arg_SOURCES_DIRS)
      file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
      list(APPEND sources ${found})
    endforeach()
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/shell/entry/")
  endif()
  set(deps)
  foreach(dep IN LISTS arg_DEPENDS)
    list(APPEND deps kr_${dep})
  endforeach()
  if(sources)
    add_library(kr_${name} STATIC ${sources})
    target_include_directories(kr_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(kr_${name} PUBLIC ${deps} PRIVATE kr_warnings)
  else()
    add_library(kr_${name} INTERFACE)
    target_include_directories(kr_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(kr_${name} INTERFACE ${deps})
  endif()
endfunction()

# libpng, which every build needs (skins and images): Debian's on Linux, a
# MinGW build of Debian's source for Windows (setup.sh prepares it).
function(kr_link_png target)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/mingw-libpng.cmake)
    if(NOT TARGET kr_mingw_png)
      kr_add_mingw_libpng()
    endif()
    target_link_libraries(${target} PUBLIC kr_mingw_png)
  else()
    find_package(PNG REQUIRED)
    target_link_libraries(${target} PUBLIC PNG::PNG)
  endif()
  target_compile_definitions(${target} PUBLIC KR_HAVE_PNG=1)
endfunction()

# One test executable per folder under tests/, each registered with CTest.
function(kr_add_test_suite name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(exe kr_test_${name})
  add_executable(${exe} ${sources})
  target_link_libraries(${exe} PRIVATE kr_everything kr_test_support GTest::gtest GTest::gmock kr_warnings)
  target_compile_definitions(${exe} PRIVATE
    KR_PLUGIN_PATH="$<TARGET_FILE:Kestrune>"
    KR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KR_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(${exe} Kestrune)
  add_test(NAME ${name} COMMAND ${exe} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_odr_violation=0:detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()

# Compiles a text file into `target` as `const std::string_view <symbol>`
# (declared in `header`). The file is read when CMake configures; editing it
# re-runs the configuration on the next build.
function(kr_embed_text target file symbol header)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(out ${CMAKE_BINARY_DIR}/generated/${symbol}.cpp)
  file(CONFIGURE OUTPUT ${out} CONTENT
"// Generated from ${file} by kr_embed_text; do not edit.
#include \"${header}\"

namespace {
const char kBytes[] = {${bytes} '\\0'};
}  // namespace

const std::string_view ${symbol}(kBytes, sizeof kBytes - 1);
")
  target_sources(${target} PRIVATE ${out})
endfunction()
