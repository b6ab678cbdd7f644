# Warnings live on an INTERFACE target that every project target links
# privately, so they never leak into consumers and -Werror stays optional.
add_library(korvane_warnings INTERFACE)
target_compile_options(korvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wformat=2
  -Wimplicit-fallthrough)
if(KORVANE_WERROR)
  target_compile_options(korvane_warnings INTERFACE -Werror)
endif()
