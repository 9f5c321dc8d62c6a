# The program's pictures are drawn as PNGs (resources/images) and linked in as pixel resources,
# converted at build time by png_to_pixels.py, so that the program needs no PNG decoder.
find_program(PYRAVEL_BUILD_PYTHON python3 REQUIRED)
file(GLOB PYRAVEL_PICTURE_PNGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/images/*.png)
set(PYRAVEL_PIXELS_DIR ${CMAKE_BINARY_DIR}/resources)
set(PYRAVEL_PIXEL_FILES)
foreach(png IN LISTS PYRAVEL_PICTURE_PNGS)
  get_filename_component(name ${png} NAME_WE)
  set(out ${PYRAVEL_PIXELS_DIR}/images/${name}.pixels)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PYRAVEL_PIXELS_DIR}/images
    COMMAND ${PYRAVEL_BUILD_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/png_to_pixels.py ${png} ${out}
    DEPENDS ${png} ${CMAKE_SOURCE_DIR}/cmake/png_to_pixels.py
    VERBATIM)
  list(APPEND PYRAVEL_PIXEL_FILES ${out})
endforeach()
add_custom_target(pyravel_pixels DEPENDS ${PYRAVEL_PIXEL_FILES})

# A target whose resource script includes resources/images.rc finds the pixel files and is
# rebuilt when they change.
function(pyravel_uses_pictures target rc)
  add_dependencies(${target} pyravel_pixels)
  set_property(SOURCE ${rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${PYRAVEL_PIXELS_DIR})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${PYRAVEL_PIXEL_FILES})
endfunction()
