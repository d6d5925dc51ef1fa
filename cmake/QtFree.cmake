# velkor_require_qt_free(<target> <folder>)
#
# Keeps a library that every face uses (the Qt one and the native Win32 one) free of Qt: the build fails
# when a C++ file under <folder> includes a Qt header (<Q...>, "Q...", or an old-style <q....h>), or when
# <target> links Qt, directly or through any library it links.
#
# The include check runs at build time before <target> compiles, and again whenever a file under <folder>
# changes. The link check runs at the end of configuration, when every target is known.
#
# Run as a script, cmake -DFOLDER=<folder> -DSTAMP=<file> -P QtFree.cmake, this file is the include check.

if(CMAKE_SCRIPT_MODE_FILE)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false "${FOLDER}/*")
  list(FILTER sources INCLUDE REGEX "\\.(h|hh|hpp|hxx|c|cc|cpp|cxx|inl|ipp|in)$")
  set(found "")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q|q[A-Za-z0-9_]*\\.h[>\"])")
    foreach(line IN LISTS lines)
      string(APPEND found "\n  ${source}: ${line}")
    endforeach()
  endforeach()
  if(found)
    message(FATAL_ERROR "Qt in a Qt-free library: ${FOLDER} includes Qt headers:${found}")
  endif()
  file(TOUCH "${STAMP}")
  return()
endif()

set(VELKOR_QT_FREE_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(velkor_require_qt_free target folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS LIST_DIRECTORIES false "${folder}/*")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.qt-free)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${folder} -DSTAMP=${stamp} -P ${VELKOR_QT_FREE_SCRIPT}
    DEPENDS ${sources} ${VELKOR_QT_FREE_SCRIPT}
    COMMENT "Checking that ${target} includes no Qt header"
    VERBATIM)
  add_custom_target(${target}_qt_free DEPENDS ${stamp})
  add_dependencies(${target} ${target}_qt_free)
  # Nothing of Qt's tooling either: qt_standard_project_setup turns it on for every target.
  set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  # A deferred call reads its arguments when it runs: put the target's name in now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _velkor_require_qt_free_links [[${target}]])")
endfunction()

# Walks everything <target> links, through targets and their interfaces, looking for Qt by name: Qt's
# targets (Qt6::Core, Qt::Widgets) or its library files.
function(_velkor_require_qt_free_links target)
  set(seen "")
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(items ${current} ${property})
      if(NOT items)
        continue()
      endif()
      foreach(item IN LISTS items)
        if(item MATCHES "(^|[^A-Za-z0-9_])Qt[0-9]*::|(^|/)libQt[0-9]")
          message(FATAL_ERROR "Qt in a Qt-free library: ${target} links ${item} (through ${current})")
        endif()
        # A static library's private links come as $<LINK_ONLY:name>.
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" name "${item}")
        if(TARGET "${name}")
          list(APPEND pending ${name})
        endif()
      endforeach()
    endforeach()
  endwhile()
endfunction()
