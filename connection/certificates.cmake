# The root certificate authority that the certificate manager checks switch
# certificates against. The library carries it as constant data: the Base64
# text of its DER form, without PEM markers or line breaks, taken at configure
# time from a PEM file. By default that is the project's own root; a deployment
# embeds its switch maker's root with -DORVANE_ROOT_CERTIFICATE=/path/to/root.pem.

set(ORVANE_ROOT_CERTIFICATE "${CMAKE_CURRENT_SOURCE_DIR}/root_certificate.pem"
    CACHE FILEPATH "PEM file of the root certificate authority the library embeds")

if(NOT EXISTS "${ORVANE_ROOT_CERTIFICATE}")
  message(FATAL_ERROR "ORVANE_ROOT_CERTIFICATE: no such file: ${ORVANE_ROOT_CERTIFICATE}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ORVANE_ROOT_CERTIFICATE}")

# The first certificate of the file, its Base64 text with all white space removed.
file(READ "${ORVANE_ROOT_CERTIFICATE}" _orvane_root_pem)
string(REGEX MATCH
       "-----BEGIN CERTIFICATE-----([A-Za-z0-9+/=\r\n\t ]*)-----END CERTIFICATE-----"
       _orvane_root_block "${_orvane_root_pem}")
if(NOT _orvane_root_block)
  message(FATAL_ERROR "ORVANE_ROOT_CERTIFICATE: ${ORVANE_ROOT_CERTIFICATE} holds no PEM certificate")
endif()
string(REGEX REPLACE "[\r\n\t ]" "" ORVANE_ROOT_CERTIFICATE_BASE64 "${CMAKE_MATCH_1}")
string(LENGTH "${ORVANE_ROOT_CERTIFICATE_BASE64}" _orvane_root_length)
math(EXPR _orvane_root_remainder "${_orvane_root_length} % 4")
if(_orvane_root_length EQUAL 0 OR NOT _orvane_root_remainder EQUAL 0
   OR NOT ORVANE_ROOT_CERTIFICATE_BASE64 MATCHES "^[A-Za-z0-9+/]+=?=?$")
  message(FATAL_ERROR "ORVANE_ROOT_CERTIFICATE: the certificate in ${ORVANE_ROOT_CERTIFICATE} is not Base64 text")
endif()
message(STATUS "Embedded root certificate: ${ORVANE_ROOT_CERTIFICATE} (${_orvane_root_length} Base64 characters)")

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/RootCertificateData.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/RootCertificateData.cpp @ONLY)
target_sources(orvane_core PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/RootCertificateData.cpp)

# The certificate manager is the library's only user of OpenSSL, and of libcrypto alone.
target_link_libraries(orvane_core PRIVATE OpenSSL::Crypto)

# The tests read the project's test PKI and the embedded root's PEM file from
# the source tree, and check decryption with OpenSSL themselves.
if(TARGET connection_tests)
  target_compile_definitions(connection_tests PRIVATE
    ORVANE_TEST_PKI_DIR="${CMAKE_SOURCE_DIR}/sim/pki"
    ORVANE_TEST_EMBEDDED_ROOT_PEM="${ORVANE_ROOT_CERTIFICATE}")
  target_link_libraries(connection_tests PRIVATE OpenSSL::Crypto)
endif()
