# The two executables: Pyravel.exe on the system's devices, pyravel-sandbox.exe on the simulated
# PC of sandbox/fixture. Same sources; only the entry folder that picks the environment differs.
enable_language(RC)

set(PYRAVEL_RC_DEFINES)
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/images.rc)
  list(APPEND PYRAVEL_RC_DEFINES PYRAVEL_HAVE_IMAGES)
endif()

function(pyravel_executable name)
  cmake_parse_arguments(EXE "" "" "SOURCES;RESOURCES" ${ARGN})
  add_executable(${name} WIN32 ${EXE_SOURCES} ${EXE_RESOURCES})
  target_link_libraries(${name} PRIVATE pyravel_core)
  target_link_options(${name} PRIVATE -municode)
  set_property(SOURCE ${EXE_RESOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES
    ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
  set_property(SOURCE ${EXE_RESOURCES} APPEND PROPERTY COMPILE_DEFINITIONS ${PYRAVEL_RC_DEFINES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

file(GLOB APP_ENTRY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/entry/*.cpp)
file(GLOB SANDBOX_ENTRY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sandbox/entry/*.cpp)
# win_main.cpp is shared; system_environment.cpp belongs to Pyravel.exe alone.
set(SHARED_ENTRY ${CMAKE_SOURCE_DIR}/app/entry/win_main.cpp)

pyravel_executable(Pyravel
  SOURCES ${APP_ENTRY_SOURCES}
  RESOURCES ${CMAKE_SOURCE_DIR}/resources/pyravel.rc)
pyravel_uses_pictures(Pyravel ${CMAKE_SOURCE_DIR}/resources/pyravel.rc)

pyravel_executable(pyravel-sandbox
  SOURCES ${SHARED_ENTRY} ${SANDBOX_ENTRY_SOURCES}
  RESOURCES ${CMAKE_SOURCE_DIR}/sandbox/entry/sandbox.rc)
target_link_libraries(pyravel-sandbox PRIVATE pyravel_sandbox)
target_include_directories(pyravel-sandbox PRIVATE ${PYRAVEL_SIGNER_DIR})
pyravel_uses_pictures(pyravel-sandbox ${CMAKE_SOURCE_DIR}/sandbox/entry/sandbox.rc)
file(GLOB SANDBOX_CLASS_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sandbox/entry/class_pictures/*.ico)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/sandbox/entry/sandbox.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/sandbox/fixture/pc.json ${CMAKE_SOURCE_DIR}/sandbox/entry/class_pictures.rc
  ${SANDBOX_CLASS_PICTURES})

# The Windows tests look at both executables' resources, so they are built first.
cmake_language(DEFER CALL add_dependencies pyravel_wintests Pyravel pyravel-sandbox)
