# kissfft for the Windows cross-builds: Debian's kissfft source built static
# and in float by scripts/mingw-kissfft.sh (part of ./setup.sh deps).
set(KR_THIRD_PARTY_DIR ${CMAKE_SOURCE_DIR}/build/third-party CACHE PATH "Libraries built for the cross toolchains")

# Defines the imported target kr_mingw_kissfft; stops the configuration when
# the library has not been built.
function(kr_add_mingw_kissfft)
  set(prefix ${KR_THIRD_PARTY_DIR}/kissfft-${CMAKE_SYSTEM_PROCESSOR})
  set(library ${prefix}/lib/libkissfft-float.a)
  if(NOT EXISTS ${library})
    message(FATAL_ERROR "kissfft for Windows: ${library} is missing. Run ./setup.sh deps, which builds it.")
  endif()
  add_library(kr_mingw_kissfft STATIC IMPORTED GLOBAL)
  set_target_properties(kr_mingw_kissfft PROPERTIES
    IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include/kissfft
    INTERFACE_COMPILE_DEFINITIONS kiss_fft_scalar=float)
endfunction()
