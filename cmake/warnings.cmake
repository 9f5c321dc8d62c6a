add_library(pyravel_options INTERFACE)
target_compile_options(pyravel_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(WIN32)
  # Vista is the oldest supported system; group views and IFileDialog need it.
  target_compile_definitions(pyravel_options INTERFACE UNICODE _UNICODE _WIN32_WINNT=0x0601
    WINVER=0x0601 NTDDI_VERSION=0x06010000 NOMINMAX)
endif()
