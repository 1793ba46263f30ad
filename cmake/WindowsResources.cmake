# The Windows resources every executable of the program carries: the icon,
# the version information and the application manifest
# (packaging/windows/kalyx.rc.in and kalyx.manifest.in).
#   kx_windows_resources(TARGET "description shown in the file's properties")
# Does nothing on other systems.
if(WIN32)
  enable_language(RC)
  # The version as the program shows it ("2.3 beta").
  file(STRINGS ${PROJECT_SOURCE_DIR}/shell/Version.h KX_VERSION_LINE REGEX "kVersionText\\[\\] = u\"")
  string(REGEX REPLACE ".*u\"([^\"]*)\".*" "\\1" KX_VERSION_TEXT "${KX_VERSION_LINE}")
endif()

function(kx_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(KX_EXE_NAME ${target})
  set(KX_DESCRIPTION "${description}")
  set(KX_ICON_FILE ${PROJECT_SOURCE_DIR}/packaging/icon/kalyx.ico)
  set(KX_MANIFEST_FILE ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/kalyx.manifest.in ${KX_MANIFEST_FILE} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/kalyx.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY
    OBJECT_DEPENDS ${KX_ICON_FILE} ${KX_MANIFEST_FILE})
endfunction()
