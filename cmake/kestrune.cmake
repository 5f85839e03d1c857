# Optional third-party libraries that parts of the core use; each is linked
# when found so that a partial cross toolchain still builds the rest.
function(kr_link_optional_deps target)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/mingw-libpng.cmake)
    if(NOT TARGET kr_mingw_png)
      kr_add_mingw_libpng()
    endif()
    if(TARGET kr_mingw_png)
      target_link_libraries(${target} PUBLIC kr_mingw_png)
      target_compile_definitions(${target} PUBLIC KR_HAVE_PNG=1)
    endif()
    return()
  endif()
  find_package(PNG QUIET)
  if(PNG_FOUND)
    target_link_libraries(${target} PUBLIC PNG::PNG)
    target_compile_definitions(${target} PUBLIC KR_HAVE_PNG=1)
  endif()
endfunction()

# One test executable per folder under tests/, each registered with CTest.
function(kr_add_test_suite name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(exe kr_test_${name})
  add_executable(${exe} ${sources})
  target_link_libraries(${exe} PRIVATE
    "$<LINK_LIBRARY:WHOLE_ARCHIVE,kestrune_core>" kr_test_support GTest::gtest GTest::gmock GTest::gtest_main kr_warnings)
  if(TARGET kestrune_host)
    target_link_libraries(${exe} PRIVATE kestrune_host)
  endif()
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
