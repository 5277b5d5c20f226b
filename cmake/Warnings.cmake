# Warnings every target of ours builds with; errors in CI.
add_library(tickvane_warnings INTERFACE)
target_compile_options(tickvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(TICKVANE_WERROR)
  target_compile_options(tickvane_warnings INTERFACE -Werror)
endif()
