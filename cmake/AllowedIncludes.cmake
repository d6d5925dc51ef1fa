# velkor_allowed_includes(<target> [FOLDERS <dir>... | FILES <file>...] [INCLUDES <folder>...]
#                         [SYSTEM <group>...] [QT <module>...] [NO_LINKS <library>...])
#
# What one library may include, as an allow-list: anything not listed fails the build, so a new dependency is
# a decision made here, not one that creeps in.
#  - FOLDERS: the library's own sources, with their subfolders but for those with a CMakeLists.txt of their own
#    (default: the calling folder). Its own folders may always be included.
#  - FILES: the library's own sources, one by one, for a library whose folder holds others' folders too.
#  - INCLUDES: the project's folders it may include besides, as includes name them from src/ ("panel/core",
#    "rigserver/core"). An include names its folder ("panel/core/PanelCore.h"); one that names a folder not on
#    the list fails.
#  - SYSTEM: the groups of system headers it may include besides the C++ standard library's: posix, win32,
#    hamlib.
#  - QT: the Qt modules it may include and link (Core, Gui, Widgets, Network, SerialPort, Test). Without QT the
#    library is Qt-free: it includes no Qt header and links no Qt library, directly or through any library it
#    links.
#  - NO_LINKS: libraries it must not link, directly or through another.
# The includes are checked at build time before <target> compiles, and again whenever one of its files changes;
# the links once the whole project has been configured, when every target is known.
#
# Run as a script, cmake -DVELKOR_INCLUDE_RULES=<file> -DSTAMP=<file> -P AllowedIncludes.cmake, this file is the
# include check.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_policy(VERSION 3.25)
  include(${VELKOR_INCLUDE_RULES})
  set(found "")
  foreach(source IN LISTS RULE_FILES)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" name "${line}")
      set(allowed FALSE)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"")
        # The project's own headers, by their folder.
        get_filename_component(folder "${name}" DIRECTORY)
        if(folder IN_LIST RULE_FOLDERS)
          set(allowed TRUE)
        endif()
        set(what "the folder ${folder}")
      elseif(name MATCHES "^Q|^q[a-z0-9_]*\\.h$")
        get_filename_component(base "${name}" NAME)
        # <QWidget>, <QtGlobal>, <QtWidgets>: a header of an allowed module's folder; <QtWidgets/QWidget>: one
        # named with its module.
        if(base IN_LIST RULE_QT_HEADERS)
          set(allowed TRUE)
        elseif(name MATCHES "^Qt([A-Za-z]+)/" AND CMAKE_MATCH_1 IN_LIST RULE_QT)
          set(allowed TRUE)
        endif()
        set(what "Qt")
      else()
        foreach(pattern IN LISTS RULE_SYSTEM)
          if(name MATCHES "${pattern}")
            set(allowed TRUE)
          endif()
        endforeach()
        set(what "a system header")
      endif()
      if(NOT allowed)
        string(APPEND found "\n  ${source}: ${line} (${what})")
      endif()
    endforeach()
  endforeach()
  if(found)
    message(FATAL_ERROR "Not on ${RULE_TARGET}'s list of allowed includes:${found}")
  endif()
  file(TOUCH "${STAMP}")
  return()
endif()

include_guard(GLOBAL)
set(VELKOR_ALLOWED_INCLUDES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})
# Where the project's includes are named from.
if(NOT DEFINED VELKOR_INCLUDE_ROOT)
  set(VELKOR_INCLUDE_ROOT ${CMAKE_SOURCE_DIR}/src)
endif()

# The system headers of each group, as patterns of what an include names. The C++ standard library's headers
# (<vector>, <cstdint>) are allowed everywhere.
set(VELKOR_SYSTEM_std "^[a-z_]+$")
set(VELKOR_SYSTEM_posix
    "^sys/[a-z_]+\\.h$" "^(unistd|fcntl|pwd|pthread|poll|netdb|dirent|signal|errno|termios)\\.h$"
    "^(netinet|arpa)/[a-z_]+\\.h$")
set(VELKOR_SYSTEM_win32
    "^(windows|winver|shellapi|commctrl|unknwn|objbase|oaidl|ocidl|oleauto|olectl|initguid|tlhelp32|shlobj)\\.h$")
set(VELKOR_SYSTEM_hamlib "^hamlib/[a-z_]+\\.h$")

function(velkor_allowed_includes target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "FOLDERS;FILES;INCLUDES;SYSTEM;QT;NO_LINKS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velkor_allowed_includes(${target}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_FOLDERS AND NOT ARG_FILES)
    set(ARG_FOLDERS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()

  set(folders ${ARG_INCLUDES})
  set(files "")
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(folder ${file} DIRECTORY)
    file(RELATIVE_PATH own ${VELKOR_INCLUDE_ROOT} ${folder})
    list(APPEND folders ${own})
    list(APPEND files ${file})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS ARG_FOLDERS)
    file(RELATIVE_PATH own ${VELKOR_INCLUDE_ROOT} ${folder})
    list(APPEND folders ${own})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS LIST_DIRECTORIES false ${folder}/*.h ${folder}/*.cpp ${folder}/*.in)
    # A subfolder with a CMakeLists.txt of its own is another library, with a list of its own.
    file(GLOB_RECURSE others CONFIGURE_DEPENDS LIST_DIRECTORIES false ${folder}/*/CMakeLists.txt)
    foreach(other IN LISTS others)
      get_filename_component(other ${other} DIRECTORY)
      list(FILTER found EXCLUDE REGEX "^${other}/")
    endforeach()
    list(APPEND files ${found})
  endforeach()
  set(system ${VELKOR_SYSTEM_std})
  foreach(group IN LISTS ARG_SYSTEM)
    if(NOT DEFINED VELKOR_SYSTEM_${group})
      message(FATAL_ERROR "velkor_allowed_includes(${target}): no system group ${group}")
    endif()
    list(APPEND system ${VELKOR_SYSTEM_${group}})
  endforeach()
  # Qt's class headers (<QWidget>) carry no module's name: each allowed module's header folder lists its own.
  set(qtHeaders "")
  foreach(module IN LISTS ARG_QT)
    if(NOT TARGET Qt6::${module})
      message(FATAL_ERROR "velkor_allowed_includes(${target}): Qt6::${module} is not a known target")
    endif()
    get_target_property(dirs Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
    list(FILTER dirs INCLUDE REGEX "/Qt${module}$")
    foreach(dir IN LISTS dirs)
      file(GLOB headers LIST_DIRECTORIES false RELATIVE ${dir} ${dir}/*)
      list(APPEND qtHeaders ${headers})
    endforeach()
  endforeach()

  set(rules ${CMAKE_CURRENT_BINARY_DIR}/${target}_includes.cmake)
  file(CONFIGURE OUTPUT ${rules} CONTENT [[
set(RULE_TARGET [==[@target@]==])
set(RULE_FILES [==[@files@]==])
set(RULE_FOLDERS [==[@folders@]==])
set(RULE_SYSTEM [==[@system@]==])
set(RULE_QT [==[@ARG_QT@]==])
set(RULE_QT_HEADERS [==[@qtHeaders@]==])
]] @ONLY)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_includes.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DVELKOR_INCLUDE_RULES=${rules} -DSTAMP=${stamp} -P ${VELKOR_ALLOWED_INCLUDES_SCRIPT}
    DEPENDS ${files} ${rules} ${VELKOR_ALLOWED_INCLUDES_SCRIPT}
    COMMENT "Checking what ${target} includes"
    VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
  if(NOT ARG_QT)
    # Nothing of Qt's tooling either: qt_standard_project_setup turns it on for every target.
    set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  endif()
  # A deferred call reads its arguments when it runs: put them in now.
  cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _velkor_allowed_links \
[[${target}]] [[${ARG_QT}]] [[${ARG_NO_LINKS}]])")
endfunction()

# Walks everything <target> links, through targets and their interfaces: a Qt library of a module not in
# allowedQt (by its target's name or its file's), or one of forbidden, fails the configuration with the chain
# that led to it.
function(_velkor_allowed_links target allowedQt forbidden)
  set(queue ${target})
  set(seen "")
  set(via_${target} ${target})
  while(queue)
    list(POP_FRONT queue item)
    if(item IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${item})
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${item} ${property})
      if(NOT links)
        continue()
      endif()
      foreach(link IN LISTS links)
        # $<LINK_ONLY:x> and conditions: every target the expression names, whatever the condition.
        if(link MATCHES "\\$<")
          string(REGEX MATCHALL "[A-Za-z0-9_.+-]+(::[A-Za-z0-9_.+-]+)*" names "${link}")
        else()
          set(names ${link})
        endif()
        foreach(name IN LISTS names)
          set(chain "${via_${item}} -> ${name}")
          if(name MATCHES "(^|[^A-Za-z0-9_])Qt[0-9]*::([A-Za-z]+)" AND NOT CMAKE_MATCH_2 IN_LIST allowedQt)
            message(FATAL_ERROR "${target} may not link ${name}: ${chain}")
          endif()
          if(name MATCHES "(^|/)libQt[0-9]([A-Za-z]+)" AND NOT CMAKE_MATCH_2 IN_LIST allowedQt)
            message(FATAL_ERROR "${target} may not link ${name}: ${chain}")
          endif()
          if(name IN_LIST forbidden)
            message(FATAL_ERROR "${target} may not link ${name}: ${chain}")
          endif()
          # Qt's own targets link each other: what an allowed module brings with it comes with it.
          if(TARGET ${name} AND NOT name IN_LIST seen AND NOT name MATCHES "^Qt[0-9]*::")
            set(via_${name} "${chain}")
            list(APPEND queue ${name})
          endif()
        endforeach()
      endforeach()
    endforeach()
  endwhile()
endfunction()
