# Compiles a target's sources in batches, one compiler run per batch, which
# about halves a cold build. Names private to a file (anonymous namespaces)
# must then differ across the files of a target; a name several files need
# belongs in a header. GCC's subobject-linkage warning is meant for headers
# and misfires on the sources a batch includes.
function(kr_unity_build target)
  if(KR_UNITY_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 12)
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  endif()
endfunction()

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
    kr_unity_build(kr_${name})
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

# kissfft, the FFT of the spectrum kernels: Debian's libkissfft-dev on Linux,
# a MinGW build of Debian's source for Windows (setup.sh prepares it).
function(kr_link_kissfft target)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/mingw-kissfft.cmake)
    if(NOT TARGET kr_mingw_kissfft)
      kr_add_mingw_kissfft()
    endif()
    target_link_libraries(${target} PUBLIC kr_mingw_kissfft)
  else()
    find_package(kissfft CONFIG REQUIRED COMPONENTS SHARED float)
    target_link_libraries(${target} PUBLIC kissfft::kissfft-float)
  endif()
endfunction()

# One test executable per layer folder under tests/ (or the folder DIR),
# registered with CTest under the suite's name.
function(kr_add_test_suite name)
  cmake_parse_arguments(arg "" "DIR" "" ${ARGN})
  if(NOT arg_DIR)
    set(arg_DIR ${name})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${arg_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(exe kr_test_${name})
  add_executable(${exe} ${sources})
  kr_unity_build(${exe})
  target_link_libraries(${exe} PRIVATE kr_everything kr_test_support GTest::gtest GTest::gmock kr_warnings)
  target_compile_definitions(${exe} PRIVATE
    KR_PLUGIN_PATH="$<TARGET_FILE:Kestrune>"
    KR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KR_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(${exe} Kestrune)
  add_test(NAME ${name} COMMAND ${exe} --gtest_brief=1)
  # use_tls=0: the leak checker's thread stop crashes now and then reading the
  # thread-local storage of plug-in copies the tests loaded and unloaded
  # ("Tracer caught signal 11"); heap and stacks are still scanned, and what
  # glibc keeps only there is listed in tests/lsan.supp.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_odr_violation=0:detect_leaks=1;LSAN_OPTIONS=use_tls=0:suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1")
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

namespace kr {
const std::string_view ${symbol}(kBytes, sizeof kBytes - 1);
}  // namespace kr
")
  target_sources(${target} PRIVATE ${out})
endfunction()

# Compiles binary files into `target` (assembler .incbin, no conversion at
# configure time) as a table of kr::EmbeddedBlob, reachable through
# `std::span<const kr::EmbeddedBlob> <function>()` in namespace `ns` (declared
# by the product's own header). Names in the table are the files' names. The
# generated source names each file's hash, so a changed file is rebuilt (and
# never taken from ccache).
function(kr_embed_files target ns function)
  set(out ${CMAKE_BINARY_DIR}/generated/${function}_blobs.cpp)
  if(WIN32)
    set(section ".section .rdata,\\\"dr\\\"")
  else()
    set(section ".section .rodata,\\\"a\\\"")
  endif()
  set(asm "")
  set(decls "")
  set(rows "")
  set(index 0)
  foreach(file IN LISTS ARGN)
    get_filename_component(name ${file} NAME)
    file(SHA256 ${file} hash)
    set(label kr_blob_${function}_${index})
    string(APPEND asm "    \"${section}\\n.balign 16\\n.globl ${label}_begin\\n${label}_begin:\\n.incbin \\\"${file}\\\"\\n.globl ${label}_end\\n${label}_end:\\n.byte 0\\n.text\\n\"  // ${hash}\n")
    string(APPEND decls "extern const unsigned char ${label}_begin[] __asm__(\"${label}_begin\");\nextern const unsigned char ${label}_end[] __asm__(\"${label}_end\");\n")
    string(APPEND rows "      {\"${name}\", {${label}_begin, static_cast<std::size_t>(${label}_end - ${label}_begin)}},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  file(CONFIGURE OUTPUT ${out} CONTENT
"// Generated by kr_embed_files; do not edit.
#include <cstddef>
#include <span>

#include \"base/embedded_blob.h\"

__asm__(
${asm});

extern \"C\" {
${decls}}

namespace ${ns} {
std::span<const kr::EmbeddedBlob> ${function}() {
  static const kr::EmbeddedBlob table[] = {
${rows}  };
  return table;
}
}  // namespace ${ns}
")
  set_source_files_properties(${out} PROPERTIES OBJECT_DEPENDS "${ARGN}")
  target_sources(${target} PRIVATE ${out})
endfunction()
