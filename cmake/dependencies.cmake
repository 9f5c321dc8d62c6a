# PCRE2 with 16-bit code units: Debian's package natively, our own static build for Windows.
add_library(pyravel_pcre2 INTERFACE)
target_compile_definitions(pyravel_pcre2 INTERFACE PCRE2_CODE_UNIT_WIDTH=16)
if(WIN32)
  if(NOT EXISTS "${PCRE2_MINGW_ROOT}/lib/libpcre2-16.a")
    message(FATAL_ERROR "PCRE2 for Windows not found in '${PCRE2_MINGW_ROOT}'; run cmake/setup.sh")
  endif()
  target_compile_definitions(pyravel_pcre2 INTERFACE PCRE2_STATIC)
  target_include_directories(pyravel_pcre2 INTERFACE "${PCRE2_MINGW_ROOT}/include")
  target_link_libraries(pyravel_pcre2 INTERFACE "${PCRE2_MINGW_ROOT}/lib/libpcre2-16.a")
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PCRE2_16 REQUIRED IMPORTED_TARGET libpcre2-16)
  target_link_libraries(pyravel_pcre2 INTERFACE PkgConfig::PCRE2_16)
endif()

# nlohmann-json is header-only; the MinGW build reads the same headers.
# A folder holding only a link to it, so the cross build never sees the host's other headers.
if(NOT EXISTS /usr/include/nlohmann/json.hpp)
  message(FATAL_ERROR "nlohmann-json3-dev is missing; run cmake/setup.sh")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
add_library(pyravel_json INTERFACE)
target_include_directories(pyravel_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)

# The program runs as administrator, so its static imports are only DLLs that Windows always
# takes from System32 (the known DLLs) plus comctl32, which the manifest binds; cfgmgr32's
# functions come through setupapi. Anything else (newdev, devmgr, uxtheme, wininet; comdlg32 too,
# a known DLL but a costly one to load) is loaded at run time from System32 with SystemLibrary
# (base/win32/system_library.h).
# cmake/check_imports.py keeps the built executables to this list.
if(WIN32)
  add_library(pyravel_winlibs INTERFACE)
  target_link_libraries(pyravel_winlibs INTERFACE setupapi comctl32 gdiplus gdi32
    user32 shell32 shlwapi ole32 oleaut32 uuid advapi32)
endif()

# GoogleTest: the system's natively, built from /usr/src/googletest for Windows.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
endif()
