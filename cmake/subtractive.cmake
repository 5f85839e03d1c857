# "Kestrune Subtractive": the default patch exported into a copy of the
# plug-in, ready for a host. A native build exports with its own kestrune; a
# cross build needs a kestrune that runs here (KR_HOST_KESTRUNE, found in the
# native build folders when they are built first).
set(KR_SUBTRACTIVE_PATCH ${CMAKE_SOURCE_DIR}/examples/default-subtractive.json)
set(KR_SUBTRACTIVE_FILE "${CMAKE_BINARY_DIR}/Kestrune Subtractive${CMAKE_SHARED_LIBRARY_SUFFIX}")

if(CMAKE_CROSSCOMPILING)
  find_program(KR_HOST_KESTRUNE kestrune
    HINTS ${CMAKE_SOURCE_DIR}/build/release ${CMAKE_SOURCE_DIR}/build/dev
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT KR_HOST_KESTRUNE)
    message(STATUS "Kestrune Subtractive${CMAKE_SHARED_LIBRARY_SUFFIX} is not made: build the native "
                   "preset first, or set KR_HOST_KESTRUNE to a kestrune that runs on this machine")
    return()
  endif()
  set(kr_exporter ${KR_HOST_KESTRUNE})
  set(kr_exporter_depends ${KR_HOST_KESTRUNE})
else()
  set(kr_exporter $<TARGET_FILE:kestrune>)
  set(kr_exporter_depends kestrune)
endif()

add_custom_command(OUTPUT ${KR_SUBTRACTIVE_FILE}
  COMMAND ${kr_exporter} export ${KR_SUBTRACTIVE_PATCH} -o ${KR_SUBTRACTIVE_FILE} --plugin $<TARGET_FILE:Kestrune>
  DEPENDS Kestrune ${kr_exporter_depends} ${KR_SUBTRACTIVE_PATCH}
  COMMENT "Exporting the default patch as Kestrune Subtractive${CMAKE_SHARED_LIBRARY_SUFFIX}"
  VERBATIM)
add_custom_target(kestrune_subtractive ALL DEPENDS ${KR_SUBTRACTIVE_FILE})

# cmake --install copies it into the folder hosts scan, the way
# kestrune install does ($VST_PATH's first folder, else ~/.vst); a Windows
# build puts it under the install prefix.
if(CMAKE_CROSSCOMPILING)
  install(FILES ${KR_SUBTRACTIVE_FILE} DESTINATION VstPlugins)
else()
  install(CODE "execute_process(COMMAND \"$<TARGET_FILE:kestrune>\" install \"${KR_SUBTRACTIVE_FILE}\"
                                COMMAND_ERROR_IS_FATAL ANY)")
endif()
