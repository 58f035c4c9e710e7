# Project-wide flags and helpers.

macro(orvel_enable_project_flags)
  add_compile_options(-Wall -Wextra -Werror)
  if(ORVEL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(ORVEL_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
  if(ORVEL_FUZZ)
    # Coverage for the fuzzers in every library they link; the fuzzer main only in tests/fuzz.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  if(WIN32)
    # Shipped Windows binaries import only system DLLs.
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE_NOT_USED)
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endmacro()

# A module the driver or a host loads at run time: orvel27fr.dll / liborvel27fr.so.
# On Windows there is no "lib" prefix; on Linux the platform layer's LoadLibraryA maps
# "name.dll" to "libname.so" in the same folder.
function(orvel_module target)
  if(WIN32)
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
  endif()
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# Tests whose processes must end without a leak: in the sanitized build LeakSanitizer is on for
# them whatever ASAN_OPTIONS the caller has set.
#   orvel_leak_checked(test...)
function(orvel_leak_checked)
  if(ORVEL_SANITIZE)
    foreach(test IN LISTS ARGN)
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
    endforeach()
  endif()
endfunction()

# A test that passes only when its program exits with 0 and printed a line matching each EXPECT
# pattern (tests/expect-output.sh), and fails on any sanitizer report or an exception Wine found
# unhandled, whatever else it printed. A PROGRAM that is a target runs under the cross build's
# emulator, as add_test does for a target.
#   orvel_expect_test(NAME [EXPECT regex...] COMMAND program args...)
set(ORVEL_TEST_FAILURE_OUTPUT "(ERROR|SUMMARY): [A-Za-z]+Sanitizer|runtime error: |wine: Unhandled|Unhandled exception")
function(orvel_expect_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "EXPECT;COMMAND")
  list(POP_FRONT arg_COMMAND program)
  if(TARGET ${program})
    set(program ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${program}>)
  endif()
  set(expect)
  foreach(pattern IN LISTS arg_EXPECT)
    list(APPEND expect --expect ${pattern})
  endforeach()
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/expect-output.sh ${expect} -- ${program} ${arg_COMMAND})
  set_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION "${ORVEL_TEST_FAILURE_OUTPUT}")
endfunction()
