# Checks that no source under SRC (a src/ folder) includes a module it may
# not depend on. Each folder under src/ is a module; the table below lists
# the modules each may include ("own" headers always). Qt headers belong to
# the two modules that sit on Qt. Usage:
#   cmake -DSRC=<src folder> -P IncludeEdges.cmake
# Exits with an error listing every forbidden include.
cmake_minimum_required(VERSION 3.25)

set(allowed_core "")
set(allowed_terminal core assets)
set(allowed_settings core)
set(allowed_loader core terminal)
set(allowed_serial core)
set(allowed_services core terminal loader)
set(allowed_app core terminal settings loader services)
set(allowed_gui core terminal settings loader services app serial)
# The simulated devices are written from the wire protocol alone.
set(allowed_sim core)
set(qt_modules gui serial)
set(modules core terminal settings loader serial services app gui sim assets)

if(NOT SRC)
  message(FATAL_ERROR "usage: cmake -DSRC=<src folder> -P IncludeEdges.cmake")
endif()
get_filename_component(SRC "${SRC}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(violations "")
foreach(file ${files})
  string(REGEX MATCH "^[^/]+" module "${file}")
  file(STRINGS ${SRC}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target STREQUAL module AND target IN_LIST modules
         AND NOT target IN_LIST allowed_${module})
        list(APPEND violations "${file}: ${module} must not include ${target}: ${line}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
      if(NOT module IN_LIST qt_modules)
        list(APPEND violations "${file}: only gui and serial include Qt: ${line}")
      endif()
    endif()
  endforeach()
endforeach()
if(violations)
  list(JOIN violations "\n" report)
  message(FATAL_ERROR "forbidden includes:\n${report}")
endif()
list(LENGTH files count)
message(STATUS "${count} files, no forbidden include")
