# The layering, enforced by the compiler.
#
# A library's headers are reachable only through an include folder of its
# own: <build>/include/<target>/<folder> is a link to the library's source
# folder, so "core/settings.h" is spelt as everywhere else. A target finds a
# header only when it links the library that owns it, so an include across
# the layering (core including a ui header, say) fails to compile.
function(mirotabe_public_headers target)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
  else()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  endif()
endfunction()
