# What `cmake --install` puts in place: the engine and the platform library, the public header
# and the platform headers a host includes, the example host, and the package files that
# find_package(vellora) and pkg-config read.
include(CMakePackageConfigHelpers)

set(VELLORA_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vellora)

install(TARGETS vellora qvplatform EXPORT velloraTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/vellora/vellora.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vellora)

# The platform headers a host needs: those the example host includes, and every platform header
# they include in turn (followed here, so that the set stays right when a header changes).
function(qv_platform_header_closure host out)
  file(STRINGS ${host} _lines REGEX "^#include \"qvplatform/")
  set(_todo)
  foreach(_line IN LISTS _lines)
    string(REGEX REPLACE "^#include \"(qvplatform/[^\"]+)\".*" "\\1" _header "${_line}")
    list(APPEND _todo ${_header})
  endforeach()
  set(_seen)
  while(_todo)
    list(POP_FRONT _todo _header)
    if(_header IN_LIST _seen)
      continue()
    endif()
    list(APPEND _seen ${_header})
    set(_path ${PROJECT_SOURCE_DIR}/platform/include/${_header})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_path})
    file(STRINGS ${_path} _lines REGEX "^#include \"qvplatform/")
    foreach(_line IN LISTS _lines)
      string(REGEX REPLACE "^#include \"(qvplatform/[^\"]+)\".*" "\\1" _next "${_line}")
      list(APPEND _todo ${_next})
    endforeach()
  endwhile()
  list(SORT _seen)
  set(${out} ${_seen} PARENT_SCOPE)
endfunction()

# The example host includes only the C interface; C++ hosts get the metafile and debug-sink
# headers of the C++ interface as well.
set(VELLORA_HOST_PLATFORM_HEADERS qvplatform/metafile.h qvplatform/debug_output.h)
foreach(_host ${PROJECT_SOURCE_DIR}/examples/emf2pdf.cpp
              ${PROJECT_SOURCE_DIR}/platform/include/qvplatform/metafile.h
              ${PROJECT_SOURCE_DIR}/platform/include/qvplatform/debug_output.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_host})
  qv_platform_header_closure(${_host} _closure)
  list(APPEND VELLORA_HOST_PLATFORM_HEADERS ${_closure})
endforeach()
list(REMOVE_DUPLICATES VELLORA_HOST_PLATFORM_HEADERS)
list(TRANSFORM VELLORA_HOST_PLATFORM_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/platform/include/
     OUTPUT_VARIABLE _platform_headers)
install(FILES ${_platform_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qvplatform)

# The example host finds the installed platform library beside its own folder, wherever the
# prefix is; it looks for the engine there too (../lib) before asking the loader.
file(RELATIVE_PATH _bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(emf2pdf PROPERTIES INSTALL_RPATH "$ORIGIN/${_bin_to_lib}")
install(TARGETS emf2pdf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The CMake package: imported targets vellora::vellora and vellora::qvplatform.
install(EXPORT velloraTargets NAMESPACE vellora:: DESTINATION ${VELLORA_PACKAGE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/velloraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/velloraConfig.cmake
                              INSTALL_DESTINATION ${VELLORA_PACKAGE_DIR})
# 0.x: every 0.y release keeps SOVERSION 0, so any 0.y satisfies a request for 0.x.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/velloraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/velloraConfig.cmake
              ${PROJECT_BINARY_DIR}/package/velloraConfigVersion.cmake
        DESTINATION ${VELLORA_PACKAGE_DIR})

# vellora.pc, written when installing: its prefix is the one given to `cmake --install --prefix`
# then, not the one known when the build was configured.
if(IS_ABSOLUTE ${CMAKE_INSTALL_LIBDIR})
  set(_pc_libdir ${CMAKE_INSTALL_LIBDIR})
else()
  set(_pc_libdir "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE ${CMAKE_INSTALL_INCLUDEDIR})
  set(_pc_includedir ${CMAKE_INSTALL_INCLUDEDIR})
else()
  set(_pc_includedir "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
set(_pc ${PROJECT_BINARY_DIR}/package/vellora.pc)
install(CODE "
  set(VELLORA_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(VELLORA_PC_LIBDIR [[${_pc_libdir}]])
  set(VELLORA_PC_INCLUDEDIR [[${_pc_includedir}]])
  set(PROJECT_VERSION [[${PROJECT_VERSION}]])
  configure_file([[${PROJECT_SOURCE_DIR}/cmake/vellora.pc.in]] [[${_pc}]] @ONLY)
")
install(FILES ${_pc} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
