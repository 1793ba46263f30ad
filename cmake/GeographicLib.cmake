# GeographicLib as the target kx_geographiclib. A prefix with GeographicLib's
# own CMake package (the Windows toolchain's, or a build installed from
# source) is used through that package; Debian's libgeographiclib-dev has no
# package file, so its header and library are found directly.
find_package(GeographicLib CONFIG QUIET)
add_library(kx_geographiclib INTERFACE)
if(GeographicLib_FOUND AND GeographicLib_LIBRARIES)
  target_link_libraries(kx_geographiclib INTERFACE ${GeographicLib_LIBRARIES})
  if(GeographicLib_INCLUDE_DIRS)
    target_include_directories(kx_geographiclib INTERFACE ${GeographicLib_INCLUDE_DIRS})
  endif()
  message(STATUS "GeographicLib ${GeographicLib_VERSION} from its CMake package")
else()
  find_path(KX_GEOGRAPHICLIB_INCLUDE_DIR GeographicLib/Geodesic.hpp)
  find_library(KX_GEOGRAPHICLIB_LIBRARY NAMES GeographicLib Geographic)
  if(NOT KX_GEOGRAPHICLIB_INCLUDE_DIR OR NOT KX_GEOGRAPHICLIB_LIBRARY)
    message(FATAL_ERROR "GeographicLib not found: install libgeographiclib-dev "
                        "(or set CMAKE_PREFIX_PATH to a prefix that holds it)")
  endif()
  target_include_directories(kx_geographiclib INTERFACE ${KX_GEOGRAPHICLIB_INCLUDE_DIR})
  target_link_libraries(kx_geographiclib INTERFACE ${KX_GEOGRAPHICLIB_LIBRARY})
  message(STATUS "GeographicLib: ${KX_GEOGRAPHICLIB_LIBRARY}")
endif()
