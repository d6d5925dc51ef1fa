# The Windows ZIP: `cpack --config <build folder>/CPackConfig.cmake` after the cross build gives
# velkor-<version>-win32.zip (the 32-bit build) or velkor-<version>-win64.zip with velkor.exe, README.md and
# LICENSE, stripped, nothing else beside them.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "The VELKOR developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "panel that keeps two radios or two VFOs in step through OmniRig")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# The installer, of the 32-bit build only (its velkor.exe runs on every Windows and matches OmniRig, a 32-bit
# server): `cmake --build <build folder> --target installer` gives velkor-<version>-win32-setup.exe beside the
# ZIP, made by NSIS's makensis (Debian's nsis) from dist/windows/velkor.nsi, with the same velkor.exe, stripped.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  find_program(VELKOR_MAKENSIS makensis)
  if(VELKOR_MAKENSIS)
    set(VELKOR_INSTALLER ${CMAKE_BINARY_DIR}/velkor-${PROJECT_VERSION}-win32-setup.exe)
    set(staged ${CMAKE_BINARY_DIR}/installer/velkor.exe)
    set(script ${PROJECT_SOURCE_DIR}/dist/windows/velkor.nsi)
    add_custom_command(
      OUTPUT ${VELKOR_INSTALLER}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/installer
      COMMAND ${CMAKE_STRIP} --strip-all -o ${staged} $<TARGET_FILE:velkor>
      COMMAND ${VELKOR_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${VELKOR_INSTALLER} -DEXE=${staged}
              -DSOURCE=${PROJECT_SOURCE_DIR} -DICON=${CMAKE_BINARY_DIR}/src/panel/win32/MAINICON.ico ${script}
      DEPENDS velkor ${script} ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
      COMMENT "makensis velkor.nsi"
      VERBATIM)
    add_custom_target(installer DEPENDS ${VELKOR_INSTALLER})
  else()
    message(STATUS "makensis not found (Debian's nsis): no installer target")
  endif()
endif()
