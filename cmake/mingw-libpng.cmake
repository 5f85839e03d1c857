# libpng for the Windows cross-builds: Debian's libpng1.6 source built
# statically against the MinGW zlib by scripts/mingw-libpng.sh (part of
# ./setup.sh deps), so the DLL needs no libpng or zlib DLL beside it.
set(KR_THIRD_PARTY_DIR ${CMAKE_SOURCE_DIR}/build/third-party CACHE PATH "Libraries built for the cross toolchains")

# Defines the imported target kr_mingw_png (with zlib); stops the
# configuration when the library has not been built.
function(kr_add_mingw_libpng)
  set(prefix ${KR_THIRD_PARTY_DIR}/libpng-${CMAKE_SYSTEM_PROCESSOR})
  set(library ${prefix}/lib/libpng16.a)
  set(zlib ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
  if(NOT EXISTS ${library} OR NOT EXISTS ${zlib})
    message(FATAL_ERROR "libpng for Windows: ${library} or ${zlib} is missing. "
      "Run ./setup.sh deps, which builds it.")
  endif()
  add_library(kr_mingw_png STATIC IMPORTED GLOBAL)
  set_target_properties(kr_mingw_png PROPERTIES
    IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include
    INTERFACE_LINK_LIBRARIES ${zlib})
endfunction()
