# Instrumented builds, each in a build folder of its own (scripts/sanitize.sh,
# scripts/fuzz.sh). Included before any target is made, so every object of the tree
# is compiled the same way: a sanitizer sees a fault only in code it instrumented.
#
#   TARVO_SANITIZE=address  AddressSanitizer and UndefinedBehaviorSanitizer; any
#                           report ends the test with a failure
#   TARVO_SANITIZE=thread   ThreadSanitizer
#   TARVO_FUZZ=ON           libFuzzer targets of fuzz/ (clang), with AddressSanitizer
#                           and UndefinedBehaviorSanitizer

set(TARVO_SANITIZE "" CACHE STRING "Instrument the build: address (with undefined) or thread")
set_property(CACHE TARVO_SANITIZE PROPERTY STRINGS "" address thread)
option(TARVO_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang)" OFF)

set(tarvo_sanitize_flags "")
if(TARVO_SANITIZE STREQUAL "address")
  set(tarvo_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(TARVO_SANITIZE STREQUAL "thread")
  set(tarvo_sanitize_flags -fsanitize=thread)
elseif(NOT TARVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TARVO_SANITIZE must be address or thread, not '${TARVO_SANITIZE}'")
endif()

if(TARVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARVO_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  if(NOT TARVO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "TARVO_FUZZ brings its own sanitizers; leave TARVO_SANITIZE empty")
  endif()
  # Coverage for the fuzzer in every object; the fuzzer's main only in the targets.
  set(tarvo_sanitize_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
endif()

if(tarvo_sanitize_flags)
  add_compile_options(${tarvo_sanitize_flags} -fno-omit-frame-pointer)
  add_link_options(${tarvo_sanitize_flags})
endif()
