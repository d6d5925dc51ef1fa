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
