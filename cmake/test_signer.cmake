# The test code-signing certificates, made once per build folder: "test" signs the updater the
# sandbox serves and starts (its SHA-1 is compiled into the sandbox, never into Pyravel.exe);
# "other" carries the same name under another key, which nothing trusts.
find_program(PYRAVEL_OPENSSL openssl REQUIRED)
find_program(PYRAVEL_OSSLSIGNCODE osslsigncode REQUIRED)
set(PYRAVEL_SIGNER_DIR ${CMAKE_BINARY_DIR}/test_signer)
set(PYRAVEL_TEST_SIGNER "Pyravel Test Signer")
foreach(which test other)
  if(NOT EXISTS ${PYRAVEL_SIGNER_DIR}/${which}_cert.pem)
    file(MAKE_DIRECTORY ${PYRAVEL_SIGNER_DIR})
    execute_process(
      COMMAND ${PYRAVEL_OPENSSL} req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650
              -subj "/CN=${PYRAVEL_TEST_SIGNER}" -keyout ${PYRAVEL_SIGNER_DIR}/${which}_key.pem
              -out ${PYRAVEL_SIGNER_DIR}/${which}_cert.pem
      RESULT_VARIABLE made OUTPUT_QUIET ERROR_QUIET)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "openssl could not make the ${which} signing certificate")
    endif()
  endif()
endforeach()
execute_process(COMMAND ${PYRAVEL_OPENSSL} x509 -in ${PYRAVEL_SIGNER_DIR}/test_cert.pem -noout -fingerprint -sha1
                OUTPUT_VARIABLE fingerprint OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE ".*=" "" fingerprint "${fingerprint}")
string(REPLACE ":" "" PYRAVEL_TEST_SIGNER_SHA1 "${fingerprint}")
file(CONFIGURE OUTPUT ${PYRAVEL_SIGNER_DIR}/test_signer.h CONTENT
"// Made by cmake/test_signer.cmake: the test certificate the sandbox trusts for its updater.
#pragma once
inline constexpr char16_t kTestSigner[] = u\"${PYRAVEL_TEST_SIGNER}\";
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
