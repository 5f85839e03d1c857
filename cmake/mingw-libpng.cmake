# libpng for the Windows cross-builds. Debian ships no MinGW libpng, so it is
# built here from Debian's source package (setup.sh unpacks it with
# `apt-get source libpng1.6` into build/third-party/) against
# libz-mingw-w64-dev, both linked statically so the DLL needs no zlib1.dll.
set(KR_THIRD_PARTY_DIR ${CMAKE_SOURCE_DIR}/build/third-party CACHE PATH "Unpacked third-party source packages")

# Defines the imported target kr_mingw_png (with zlib) when the source is there.
function(kr_add_mingw_libpng)
  file(GLOB candidates LIST_DIRECTORIES true ${KR_THIRD_PARTY_DIR}/libpng1.6-*)
  list(FILTER candidates INCLUDE REGEX "/libpng1\\.6-[0-9.]+$")
  set(zlib ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
  if(NOT candidates OR NOT EXISTS ${zlib})
    message(STATUS "libpng: no Debian libpng1.6 source in ${KR_THIRD_PARTY_DIR} or no MinGW zlib; building without PNG")
    return()
  endif()
  list(GET candidates 0 source)
  include(ExternalProject)
  set(prefix ${CMAKE_BINARY_DIR}/libpng)
  set(library ${prefix}/install/lib/libpng16.a)
  ExternalProject_Add(kr_libpng_build
    SOURCE_DIR ${source}
    BINARY_DIR ${prefix}/build
    INSTALL_DIR ${prefix}/install
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_C_FLAGS_RELEASE=${CMAKE_C_FLAGS_RELEASE}
      -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
      -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
      -DZLIB_LIBRARY=${zlib} -DZLIB_INCLUDE_DIR=${CMAKE_FIND_ROOT_PATH}/include
      -Wno-dev
    BUILD_BYPRODUCTS ${library}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  file(MAKE_DIRECTORY ${prefix}/install/include)
  add_library(kr_mingw_png STATIC IMPORTED GLOBAL)
  set_target_properties(kr_mingw_png PROPERTIES
    IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/install/include
    INTERFACE_LINK_LIBRARIES ${zlib})
  add_dependencies(kr_mingw_png kr_libpng_build)
  message(STATUS "libpng: building ${source} for Windows")
endfunction()
