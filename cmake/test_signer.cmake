# The test code-signing certificates, made once per build folder: "test" signs the updater the
# sandbox serves and starts (its SHA-1 is compiled into the sandbox, never into Pyravel.exe);
# "other" carries the same subject under another key, which nothing trusts. The subject's
# organization (O) and country (C) are what the signer check matches.
find_program(PYRAVEL_OPENSSL openssl REQUIRED)
find_program(PYRAVEL_OSSLSIGNCODE osslsigncode REQUIRED)
set(PYRAVEL_SIGNER_DIR ${CMAKE_BINARY_DIR}/test_signer)
set(PYRAVEL_TEST_SIGNER "Pyravel Test Signer")
set(PYRAVEL_TEST_SIGNER_COUNTRY "DE")
set(subject "/CN=${PYRAVEL_TEST_SIGNER}/O=${PYRAVEL_TEST_SIGNER}/C=${PYRAVEL_TEST_SIGNER_COUNTRY}")
# Certificates made for another subject by an earlier build are made again.
set(made_for "")
if(EXISTS ${PYRAVEL_SIGNER_DIR}/subject.txt)
  file(READ ${PYRAVEL_SIGNER_DIR}/subject.txt made_for)
endif()
foreach(which test other)
  if(NOT made_for STREQUAL subject OR NOT EXISTS ${PYRAVEL_SIGNER_DIR}/${which}_cert.pem)
    file(MAKE_DIRECTORY ${PYRAVEL_SIGNER_DIR})
    execute_process(
      COMMAND ${PYRAVEL_OPENSSL} req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650
              -subj "${subject}" -keyout ${PYRAVEL_SIGNER_DIR}/${which}_key.pem
              -out ${PYRAVEL_SIGNER_DIR}/${which}_cert.pem
      RESULT_VARIABLE made OUTPUT_QUIET ERROR_QUIET)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "openssl could not make the ${which} signing certificate")
    endif()
  endif()
endforeach()
file(WRITE ${PYRAVEL_SIGNER_DIR}/subject.txt "${subject}")
execute_process(COMMAND ${PYRAVEL_OPENSSL} x509 -in ${PYRAVEL_SIGNER_DIR}/test_cert.pem -noout -fingerprint -sha1
                OUTPUT_VARIABLE fingerprint OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE ".*=" "" fingerprint "${fingerprint}")
string(REPLACE ":" "" PYRAVEL_TEST_SIGNER_SHA1 "${fingerprint}")
file(CONFIGURE OUTPUT ${PYRAVEL_SIGNER_DIR}/test_signer.h CONTENT
"// Made by cmake/test_signer.cmake: the test certificate the sandbox trusts for its updater.
#pragma once
inline constexpr char16_t kTestSigner[] = u\"${PYRAVEL_TEST_SIGNER}\";
inline constexpr char16_t kTestSignerCountry[] = u\"${PYRAVEL_TEST_SIGNER_COUNTRY}\";
inline constexpr char kTestSignerSha1[] = \"${PYRAVEL_TEST_SIGNER_SHA1}\";
")

# pyravel_sign(target which out): signs target's executable with a test certificate after each build.
function(pyravel_sign target which out)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PYRAVEL_OSSLSIGNCODE} sign -certs ${PYRAVEL_SIGNER_DIR}/${which}_cert.pem
            -key ${PYRAVEL_SIGNER_DIR}/${which}_key.pem -h sha256 -in $<TARGET_FILE:${target}> -out ${out}.tmp
    COMMAND ${CMAKE_COMMAND} -E rename ${out}.tmp ${out}
    VERBATIM)
endfunction()
