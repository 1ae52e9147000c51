# corvale_delay_imports(<target> <dll>...)
# Binds the named system DLLs into <target> on first use instead of at start. The imports of a
# program are loaded before its first line runs, together with whatever those DLLs import in turn,
# and they are looked for in the program's folder first; bound on first use, they load after the
# program has restricted the search to the system folder (tarnel::RestrictDllSearchToSystemFolder).
# The delay-import libraries are made from the toolchain's import libraries under the same names,
# in a folder that <target>'s link searches first. A DLL or function that turns out to be missing
# is named in a message box before the program ends (monitor/DelayLoadFailure.cpp).
include_guard(GLOBAL)

function(corvale_delay_imports target)
  set(folder ${CMAKE_BINARY_DIR}/delay-imports)
  file(MAKE_DIRECTORY ${folder})
  string(REGEX REPLACE "nm$" "dlltool" dlltool "${CMAKE_NM}")
  foreach(dll ${ARGN})
    set(delayed ${folder}/lib${dll}.a)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${delayed})
    if(EXISTS ${delayed})
      continue()
    endif()
    find_library(import_library_${dll} NAMES lib${dll}.a REQUIRED NO_CACHE)
    execute_process(COMMAND ${CMAKE_NM} ${import_library_${dll}} OUTPUT_VARIABLE symbols
      COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${folder}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    # Made in its folder under its bare name, which the library's symbols are named after.
    execute_process(COMMAND ${dlltool} --input-def ${dll}.def --dllname ${dll}.dll --output-delaylib lib${dll}.a
      WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  target_link_directories(${target} BEFORE PRIVATE ${folder})
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/monitor/DelayLoadFailure.cpp)
  target_link_libraries(${target} PRIVATE tarnel_system)
endfunction()

# corvale_delay_import_missing(<target> <dll> <function>)
# For tests: <target>, after corvale_delay_imports, binds <function> of <dll> under a name that no
# DLL exports, as on a system that lacks the function.
function(corvale_delay_import_missing target dll function)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}-delay-imports)
  file(MAKE_DIRECTORY ${folder})
  string(REGEX REPLACE "nm$" "dlltool" dlltool "${CMAKE_NM}")
  file(READ ${CMAKE_BINARY_DIR}/delay-imports/${dll}.def exports)
  string(REGEX REPLACE "\n${function}\n" "\n${function} == CorvaleMissing${function}\n" renamed "${exports}")
  if(renamed STREQUAL exports)
    message(FATAL_ERROR "${dll}.dll has no function ${function} to take away")
  endif()
  set(exports "${renamed}")
  file(WRITE ${folder}/${dll}.def "${exports}")
  execute_process(COMMAND ${dlltool} --input-def ${dll}.def --dllname ${dll}.dll --output-delaylib lib${dll}.a
    WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
  target_link_directories(${target} BEFORE PRIVATE ${folder})
endfunction()
