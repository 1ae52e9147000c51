# Shared build settings and helpers for every target of the project.
include_guard(GLOBAL)

if(WIN32)
  # Static runtime: the deliverables need nothing but system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# A file we ship: without symbols, and with its sections at page boundaries in the file as
# well as in memory, so the loader can map the file's pages instead of copying them into
# memory of the program's own.
function(corvale_deliverable target)
  if(WIN32)
    target_link_options(${target} PRIVATE -s -Wl,--file-alignment=4096)
  endif()
endfunction()

function(corvale_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# Sanitizers for native debug builds; a target that needs TSan instead opts out.
function(corvale_sanitize target)
  if(CORVALE_SANITIZE AND NOT WIN32)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

set(CORVALE_TEST_SUPPORT_DIR ${CMAKE_SOURCE_DIR}/tests/support)

# GoogleTest: the system package natively, built from the Debian sources for the cross build.
if(NOT CORVALE_FUZZ)
  if(WIN32)
    if(NOT TARGET gtest)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# corvale_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [NO_SANITIZE] [LABELS ...]
#                  [TEST_FILTER gtest-filter])
# Natively every test case becomes a CTest test; under Wine one test per executable,
# since starting a Wine process per test case costs seconds. TEST_FILTER leaves out the cases
# that another entry runs (those that need the test network, say).
function(corvale_add_test name)
  cmake_parse_arguments(T "NO_SANITIZE;NO_MAIN;NO_TEST" "TIMEOUT;TEST_FILTER" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CORVALE_TEST_SUPPORT_DIR})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  corvale_warnings(${name})
  if(NOT T_NO_SANITIZE)
    corvale_sanitize(${name})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_NO_TEST)
    return()  # built here, run only by an entry of the caller's own
  elseif(WIN32)
    set(filter)
    if(T_TEST_FILTER)
      set(filter --gtest_filter=${T_TEST_FILTER})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${filter} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "windows;${T_LABELS}")
  else()
    set(filter)
    if(T_TEST_FILTER)
      set(filter TEST_FILTER ${T_TEST_FILTER})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${filter}
      PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "native;${T_LABELS}")
  endif()
endfunction()
