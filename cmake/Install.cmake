# What `cmake --install` puts under the GNU install directories:
#   lib/libOrvane_2.so.2.1.0 (soname libOrvane_2.so.2), its CMake package
#   (lib/cmake/Orvane) and pkg-config file (lib/pkgconfig/orvane.pc),
#   include/orvane/*.h, bin/switchsim and bin/zettle, and switchsim's
#   fabric files and test PKI (share/orvane/fabrics, share/orvane/pki).
# `cpack -G DEB` packs the same tree as a Debian package.
include(CMakePackageConfigHelpers)

set_target_properties(Orvane_2 PROPERTIES VERSION ${PROJECT_VERSION}
                                          SOVERSION ${PROJECT_VERSION_MAJOR})

# A sanitized library needs the sanitizer runtime in the program that loads
# it: the installed package and pkg-config file link callers with it.
set(sanitizer_link_flags "")
if(ORVANE_SANITIZE)
  set(sanitizer_link_flags -fsanitize=address,undefined)
  target_link_options(Orvane_2 INTERFACE $<INSTALL_INTERFACE:${sanitizer_link_flags}>)
endif()

install(TARGETS Orvane_2 EXPORT OrvaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY include/orvane DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")

install(TARGETS switchsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The console program, once its folder builds it.
if(TARGET zettle)
  install(TARGETS zettle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY sim/fabrics/ DESTINATION ${ORVANE_INSTALL_DATADIR}/fabrics
        FILES_MATCHING PATTERN "*.json")
# The switches' certificates and keys that fabric files name, and the root
# that signs them; not the root's key.
file(GLOB switch_pki CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/pki/switch-*.pem
     ${CMAKE_SOURCE_DIR}/sim/pki/switch-*.key)
install(FILES ${switch_pki} sim/pki/root-ca.pem DESTINATION ${ORVANE_INSTALL_DATADIR}/pki)

# The CMake package: find_package(Orvane) gives Orvane::Orvane_2.
set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Orvane)
install(EXPORT OrvaneTargets NAMESPACE Orvane:: DESTINATION ${package_dir})
configure_package_config_file(cmake/OrvaneConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/package/OrvaneConfig.cmake
                              INSTALL_DESTINATION ${package_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/OrvaneConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/OrvaneConfig.cmake
              ${CMAKE_BINARY_DIR}/package/OrvaneConfigVersion.cmake
        DESTINATION ${package_dir})

# pkg-config: the .pc file names the prefix it is installed under, which
# `cmake --install --prefix` and CPack choose at install time.
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
foreach(kind IN ITEMS LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(ORVANE_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(ORVANE_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
list(JOIN sanitizer_link_flags " " ORVANE_PC_LINK_FLAGS)
set(ORVANE_PC_PREFIX "@CMAKE_INSTALL_PREFIX@") # filled in at install time
configure_file(cmake/orvane.pc.in ${CMAKE_BINARY_DIR}/package/orvane.pc.in @ONLY)
install(CODE "configure_file(\"${CMAKE_BINARY_DIR}/package/orvane.pc.in\"
                             \"${CMAKE_BINARY_DIR}/package/orvane.pc\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/package/orvane.pc DESTINATION ${pc_dir})

# The Debian package (cpack -G DEB): the installed tree under /usr. It
# depends on the packages of the shared libraries its programs and library
# load, as dpkg-shlibdeps finds them, so the list follows what is linked.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_CONTACT "Orvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Management of Fibre Channel switch fabrics, and a switch simulator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "libOrvane_2.so reaches Fibre Channel switch fabrics through proxy switches.
The package holds the library, its C headers, CMake package and pkg-config
file, and switchsim, a simulator of switch fabrics on loopback addresses,
with demo fabric files.")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The console program links the library of the same package.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
else()
  message(STATUS "dpkg-shlibdeps not found: the Debian package lists no dependencies")
endif()
include(CPack)

# The document type that zettle's switch data files name (DTD_LOCATION).
if(TARGET zettle)
  install(FILES tool/switch_data.dtd DESTINATION ${ORVANE_INSTALL_DATADIR})
endif()
