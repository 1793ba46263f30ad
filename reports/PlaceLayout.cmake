# cmake -DSOURCE=<delivered pp.fr3> -DTARGET=<bin>/pp.fr3 -P PlaceLayout.cmake
# Copies the delivered layout only when the target does not exist yet.
if(NOT DEFINED SOURCE OR NOT DEFINED TARGET)
  message(FATAL_ERROR "PlaceLayout.cmake needs SOURCE and TARGET")
endif()
if(NOT EXISTS "${TARGET}")
  get_filename_component(_dir "${TARGET}" DIRECTORY)
  file(MAKE_DIRECTORY "${_dir}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
  message(STATUS "Placed ${TARGET}")
endif()
