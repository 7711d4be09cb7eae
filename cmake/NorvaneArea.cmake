# norvane_area(NAME <lib> DEPS <libs...>)
# Builds the area's Qt-free library from the *.cpp files in its folder (not in
# tests/ or tools/), and one GoogleTest program from tests/*.cpp when present.
function(norvane_area)
  cmake_parse_arguments(A "" "NAME" "DEPS;TEST_DEPS" ${ARGN})
  # Areas are added in dependency order; a dependency whose folder has not landed
  # yet is left out so that the rest of the tree still builds.
  set(deps "")
  foreach(dep ${A_DEPS})
    if(TARGET ${dep})
      list(APPEND deps ${dep})
    endif()
  endforeach()
  set(A_DEPS ${deps})
  file(GLOB lib_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER lib_sources EXCLUDE REGEX "_main\\.cpp$")
  if(lib_sources)
    add_library(${A_NAME} STATIC ${lib_sources})
  else()
    add_library(${A_NAME} INTERFACE)
  endif()
  if(lib_sources)
    target_include_directories(${A_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${A_NAME} PUBLIC ${A_DEPS})
  else()
    target_include_directories(${A_NAME} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${A_NAME} INTERFACE ${A_DEPS})
  endif()
  if(NORVANE_TESTS)
    file(GLOB test_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp")
    if(test_sources)
      add_executable(${A_NAME}_tests ${test_sources})
      target_link_libraries(${A_NAME}_tests PRIVATE ${A_NAME} ${A_TEST_DEPS} norvane_fakes GTest::gmock GTest::gtest_main)
      target_compile_definitions(${A_NAME}_tests PRIVATE
        NORVANE_SHARED_DATA="${NORVANE_SHARED_DATA}"
        NORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        NORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
      gtest_discover_tests(${A_NAME}_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
    endif()
  endif()
endfunction()

# norvane_existing_libraries(<out-var>): every area library built so far, most
# dependent first, for programs that link the whole system (benchmarks, fuzzers, the app).
function(norvane_existing_libraries out)
  set(libs "")
  foreach(lib norvane_app norvane_watch norvane_contour norvane_downloader norvane_grid norvane_commands norvane_script
              norvane_map norvane_obs norvane_core)
    if(TARGET ${lib})
      list(APPEND libs ${lib})
    endif()
  endforeach()
  set(${out} ${libs} PARENT_SCOPE)
endfunction()
