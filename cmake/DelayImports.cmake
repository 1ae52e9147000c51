# corvale_delay_imports(<target> <dll>...)
# Binds the named system DLLs into <target> on first use instead of at start. The imports of a
# program are loaded before its first line runs, together with whatever those DLLs import in turn,
# and they are looked for in the program's folder first; bound on first use, they load after the
# program has restricted the search to the system folder (tarnel::RestrictDllSearchToSystemFolder).
# The delay-import libraries are made from the toolchain's import libraries under the same names,
# in a folder that <target>'s link searches first.
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
endfunction()
