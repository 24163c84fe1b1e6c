# One library target per source folder. Sources are picked up by glob so that
# adding a unit needs no edit here; main.cpp files are program entries, not
# library code.
function(pelmora_add_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(${target} STATIC ${srcs} ${hdrs})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test executable per source folder: every .cpp in tests/<folder> plus the
# shared test main, linked against that folder's library.
function(pelmora_add_test_folder folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  set(target tests_${folder})
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE pelmora_testmain ${ARG_DEPS})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  target_compile_definitions(${target} PRIVATE
    PELMORA_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${folder}/data")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# A fuzz target. Its body, the function BODY in <name>.cpp of the current
# folder, is a library of its own (pelmora_<name>) built in every build, so
# that the unit tests replay regression inputs through the very code the
# fuzzer runs; with PELMORA_FUZZ the libFuzzer program <name> wraps it. The
# names of all targets go to fuzz_targets.txt in the build folder, the list
# scripts/fuzz.sh runs.
function(pelmora_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "BODY" "DEPS" ${ARGN})
  add_library(pelmora_${name} STATIC ${name}.cpp ${name}.h)
  target_include_directories(pelmora_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(pelmora_${name} PUBLIC ${ARG_DEPS})
  set_property(GLOBAL APPEND PROPERTY PELMORA_FUZZ_LIBRARIES pelmora_${name})
  if(PELMORA_FUZZ)
    add_executable(${name} ${PROJECT_SOURCE_DIR}/fuzz/libfuzzer_main.cpp)
    target_compile_definitions(${name} PRIVATE PELMORA_FUZZ_BODY=${ARG_BODY})
    target_link_libraries(${name} PRIVATE pelmora_${name})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY PELMORA_FUZZ_TARGETS ${name})
  endif()
endfunction()
