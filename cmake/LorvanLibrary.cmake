# One static library per folder of src/. Sources are picked up from the folder so that a new
# class file needs no edit here.
#
#   lorvan_library(<name> [WIDGETS] DEPENDS <targets...> [EXCLUDE <files of the folder...>])
function(lorvan_library name)
  cmake_parse_arguments(ARG "WIDGETS" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(file ${ARG_EXCLUDE})
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  # A subfolder with a CMakeLists.txt of its own is another library (people/dialogs beside the
  # widget-free people): swallowing its files here would break the layer check silently.
  file(GLOB_RECURSE subprojects CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(sub ${subprojects})
    get_filename_component(subdir ${sub} DIRECTORY)
    list(FILTER srcs EXCLUDE REGEX "^${subdir}/")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(ARG_WIDGETS)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    target_precompile_headers(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch/widgets_pch.h)
  else()
    target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui)
    target_precompile_headers(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch/core_pch.h)
  endif()
endfunction()

# One test executable per folder of tests/, run by ctest as one test.
#
#   lorvan_test(<name> [WIDGETS] DEPENDS <targets...>)
function(lorvan_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${srcs} ${PROJECT_SOURCE_DIR}/tests/common/TestMain.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} test_common GTest::gtest GTest::gmock)
  if(ARG_WIDGETS)
    target_compile_definitions(${name} PRIVATE LORVAN_TEST_WIDGETS=1)
    # the test main puts strict prompt hooks (XUi) under every widget test
    target_link_libraries(${name} PRIVATE controls)
    target_precompile_headers(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch/widgets_pch.h)
  else()
    target_precompile_headers(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch/core_pch.h)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  # use_tls=0: the leak checker's walk over threads' dynamic TLS blocks can read a stale
  # block list on this glibc and crash at exit after every test passed. Without that walk
  # leaks are still found; only a block reachable solely from thread-local storage would be
  # reported wrongly, and the tests have none.
  set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;LSAN_OPTIONS=use_tls=0:suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      TIMEOUT 900)
endfunction()
