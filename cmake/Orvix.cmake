# Helpers shared by every target: one library per source folder, one test program per test file.

set(ORVIX_WARNINGS -Wall -Wextra)

# orvix_library(<target> DEPS <libs...>): every .cpp/.h under the current folder forms the library.
function(orvix_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  if(NOT sources)
    # A folder whose issue has not come yet: keep the target so dependents link unchanged.
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp")
    file(WRITE "${stub}" "// No sources in this folder yet.\n")
    set(sources "${stub}")
  endif()
  add_library(${target} STATIC ${sources})
  # Sub-folders (core/sqlite, core/document, ...) are include roots too, so headers are included by name.
  file(GLOB_RECURSE children LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
  set(include_dirs "${CMAKE_CURRENT_SOURCE_DIR}")
  foreach(child ${children})
    if(IS_DIRECTORY "${child}")
      list(APPEND include_dirs "${child}")
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${include_dirs})
  target_compile_options(${target} PRIVATE ${ORVIX_WARNINGS})
  # Paths of this checkout are given only to the files that read them, so compile commands stay the same in
  # every checkout and a shared compiler cache can serve them.
  target_compile_definitions(${target} PUBLIC ORVIX_VERSION="${PROJECT_VERSION}")
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# orvix_tests(DEPS <libs...>): each test_*.cpp in the current folder becomes one test program.
function(orvix_tests)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp")
  file(GLOB helpers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/support/*.h")
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  # Checkout paths only where they are used (see orvix_library).
  foreach(source ${tests} ${helpers})
    file(READ "${source}" text)
    if(text MATCHES "ORVIX_TEST_DATA|ORVIX_CLI_PATH|ORVIX_SAMPLE_PATH")
      set_property(SOURCE "${source}" APPEND PROPERTY COMPILE_DEFINITIONS
        ORVIX_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
        ORVIX_CLI_PATH="$<TARGET_FILE_DIR:orvix-cli>/orvix-cli"
        ORVIX_SAMPLE_PATH="${CMAKE_BINARY_DIR}/samples/Contacts.orvix")
    endif()
  endforeach()
  foreach(test_source ${tests})
    get_filename_component(name "${test_source}" NAME_WE)
    set(target "${folder}_${name}")
    add_executable(${target} "${test_source}" ${helpers})
    target_include_directories(${target} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/tests/common")
    target_compile_options(${target} PRIVATE ${ORVIX_WARNINGS})
    target_link_libraries(${target} PRIVATE ${ARG_DEPS} orvix_testsupport Qt6::Test)
    add_dependencies(${target} orvix-cli)
    add_test(NAME "${folder}/${name}" COMMAND ${target})
    set_tests_properties("${folder}/${name}" PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=UTC"
      TIMEOUT 300)
  endforeach()
endfunction()
