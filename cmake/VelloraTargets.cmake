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

# qv_include_root(<target> <scope> <path>)
# Gives <target> an include directory of its own that holds only Source/<path> (linked in under
# the same relative path), so that "<path>/x.h" resolves for the target and for whoever links
# it, and for nobody else: an include that reaches a layer the target does not link fails.
function(qv_include_root target scope path)
  set(_root ${PROJECT_BINARY_DIR}/include-roots/${target})
  get_filename_component(_parent ${_root}/${path} DIRECTORY)
  file(MAKE_DIRECTORY ${_parent})
  if(NOT IS_SYMLINK ${_root}/${path})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/Source/${path} ${_root}/${path} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${_root})
endfunction()

# qv_engine_unit(<target> [DIR <path>] [DEPS <target>...] [LIBS <library>...])
# Builds Source/<path>/*.cpp (<path> defaults to <target>) into the static library <target>.
# Its headers are included as "<path>/x.h", only by targets that link it.
function(qv_engine_unit target)
  cmake_parse_arguments(ARG "" "DIR" "DEPS;LIBS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${target})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Source/${ARG_DIR}/*.cpp)
  if(NOT _src)
    # A folder that holds only headers so far.
    add_library(${target} INTERFACE)
    qv_include_root(${target} INTERFACE ${ARG_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${_src})
  qv_include_root(${target} PUBLIC ${ARG_DIR})
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_LIBS)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS})
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
