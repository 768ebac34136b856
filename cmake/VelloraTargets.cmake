# Helpers that keep the layering visible: every component of the platform and every unit of the
# engine is a static library of its own, linked PRIVATE where only its implementation needs
# a lower layer, so an include that crosses the layers the wrong way fails to build.

# qv_platform_component(<name> [DEPS <component>...] [LIBS <library>...])
# Builds platform/<name>/*.cpp into the static library qvp_<name>.
function(qv_platform_component name)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT _src)
    # A component that has only headers so far.
    add_library(qvp_${name} INTERFACE)
    target_include_directories(qvp_${name} INTERFACE ${PROJECT_SOURCE_DIR}/platform/include)
    foreach(dep IN LISTS ARG_DEPS)
      target_link_libraries(qvp_${name} INTERFACE qvp_${dep})
    endforeach()
    return()
  endif()
  add_library(qvp_${name} STATIC ${_src})
  # The platform is a shared library in its own right: its API is exported.
  set_target_properties(qvp_${name} PROPERTIES CXX_VISIBILITY_PRESET default
                                               VISIBILITY_INLINES_HIDDEN OFF)
  target_include_directories(qvp_${name} PUBLIC ${PROJECT_SOURCE_DIR}/platform/include)
  foreach(dep IN LISTS ARG_DEPS)
    target_link_libraries(qvp_${name} PUBLIC qvp_${dep})
  endforeach()
  if(ARG_LIBS)
    target_link_libraries(qvp_${name} PUBLIC ${ARG_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY QV_PLATFORM_COMPONENTS qvp_${name})
endfunction()

# qv_engine_unit(<unit> [DEPS <unit-or-component>...] [LIBS <library>...])
# Builds Source/<unit>/*.cpp into the static library <unit>; its folder is its public include
# directory, so only units that link it can include its headers.
function(qv_engine_unit unit)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${unit}/*.cpp)
  if(NOT _src)
    # A unit whose folder holds only headers so far.
    add_library(${unit} INTERFACE)
    target_include_directories(${unit} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/${unit})
    target_link_libraries(${unit} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${unit} STATIC ${_src})
  target_include_directories(${unit} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/${unit})
  if(ARG_DEPS)
    target_link_libraries(${unit} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_LIBS)
    target_link_libraries(${unit} PRIVATE ${ARG_LIBS})
  endif()
endfunction()

# qv_test(<area> LIBS <library>...)
# Builds tests/<area>/*.cpp (and the shared test support) into test_<area> and registers every
# GoogleTest case with CTest.
function(qv_test area)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
  if(NOT _src)
    return()
  endif()
  string(REPLACE "/" "_" _name ${area})
  add_executable(test_${_name} ${_src})
  target_link_libraries(test_${_name} PRIVATE ${ARG_LIBS} qv_test_support GTest::gtest_main
                                              GTest::gmock)
  target_compile_definitions(test_${_name} PRIVATE
    VELLORA_CORPUS_DIR="${VELLORA_CORPUS_DIR}"
    VELLORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(test_${_name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "VELLORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
