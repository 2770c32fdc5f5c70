# The machine's pictures and sounds are made at build time from the vector
# sources in src/ by our own generator, and land beside the executables (the
# program folder) or in the resource folder that the window embeds.
#
# Sets for the rest of the build:
#   ROLVANGER_RESOURCE_DIR    folder of the files embedded as resources
#   ROLVANGER_MEDIA_NAMES     the names of the 14 files the program loads from
#                             its folder: the one list of them, which C++ tests
#                             read as mediaNames[] from MediaNames.h in
#                             ROLVANGER_MEDIA_NAMES_DIR
#   ROLVANGER_MEDIA_FILES     the same 14 files with their folder
#   ROLVANGER_RESOURCE_FILES  icon.png, icon-64.png, lever.jpg, white.jpg (to embed)
#   ROLVANGER_ICON_FILES      icon.png, icon-256.png, strawberry.svg
# and the target rolvanger_media, which makes all of them.

set(_media_src_dir ${CMAKE_CURRENT_LIST_DIR}/src)
set(ROLVANGER_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)

add_executable(make_media ${CMAKE_CURRENT_LIST_DIR}/tools/make_media.cpp)
target_link_libraries(make_media PRIVATE Qt6::Gui Qt6::Svg)
# The cues are made in the format the cue player plays, named in its header.
target_include_directories(make_media PRIVATE
                           $<TARGET_PROPERTY:rolvanger_sound,INTERFACE_INCLUDE_DIRECTORIES>)
set_target_properties(make_media PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(_media_svgs)
foreach(_name 1 2 3 4 5 6 7 leverup leverdown strawberry)
  list(APPEND _media_svgs ${_media_src_dir}/${_name}.svg)
endforeach()

set(ROLVANGER_MEDIA_NAMES 1.jpg 2.jpg 3.jpg 4.jpg 5.jpg 6.jpg 7.jpg leverup.jpg leverdown.jpg
                          lever.wav roll.wav hold.wav win.wav lose.wav)
list(TRANSFORM ROLVANGER_MEDIA_NAMES PREPEND ${ROLVANGER_PROGRAM_DIR}/
     OUTPUT_VARIABLE ROLVANGER_MEDIA_FILES)

set(ROLVANGER_MEDIA_NAMES_DIR ${CMAKE_BINARY_DIR}/generated)
list(JOIN ROLVANGER_MEDIA_NAMES "\", \"" _media_names_joined)
file(CONFIGURE OUTPUT ${ROLVANGER_MEDIA_NAMES_DIR}/MediaNames.h CONTENT
"// Made by media/media.cmake from its list of the files the program loads
// from its folder.
#pragma once

inline constexpr const char* mediaNames[] = {\"${_media_names_joined}\"};
")

set(ROLVANGER_RESOURCE_FILES
    ${ROLVANGER_RESOURCE_DIR}/icon.png
    ${ROLVANGER_RESOURCE_DIR}/icon-64.png
    ${ROLVANGER_RESOURCE_DIR}/lever.jpg
    ${ROLVANGER_RESOURCE_DIR}/white.jpg)
set(ROLVANGER_ICON_FILES
    ${ROLVANGER_RESOURCE_DIR}/icon.png
    ${ROLVANGER_RESOURCE_DIR}/icon-256.png
    ${ROLVANGER_RESOURCE_DIR}/strawberry.svg)

add_custom_command(
  OUTPUT ${ROLVANGER_MEDIA_FILES} ${ROLVANGER_RESOURCE_FILES}
         ${ROLVANGER_RESOURCE_DIR}/icon-256.png ${ROLVANGER_RESOURCE_DIR}/strawberry.svg
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:make_media> ${_media_src_dir} ${ROLVANGER_PROGRAM_DIR}
          ${ROLVANGER_RESOURCE_DIR}
  DEPENDS make_media ${_media_svgs}
  COMMENT "Making the machine's pictures and sounds"
  VERBATIM)

add_custom_target(rolvanger_media ALL
  DEPENDS ${ROLVANGER_MEDIA_FILES} ${ROLVANGER_RESOURCE_FILES}
          ${ROLVANGER_RESOURCE_DIR}/icon-256.png ${ROLVANGER_RESOURCE_DIR}/strawberry.svg)
