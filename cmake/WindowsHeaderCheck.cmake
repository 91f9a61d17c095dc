# vk_windows_header_check(TARGET SOURCE_ROOT EXCLUDED_DIR...): an object
# library that compiles every header under SOURCE_ROOT, each in a file of its
# own right after <windows.h>, so the build fails when a portable header
# spells one of the SDK's macros (HKEY_*, ERROR_*, NIM_*, WM_*, min, max...).
# EXCLUDED_DIRs (relative to SOURCE_ROOT) hold headers that are not portable.
function(vk_windows_header_check target root)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${root} ${root}/*.h)
  set(sources)
  foreach(header IN LISTS headers)
    set(portable TRUE)
    foreach(excluded IN LISTS ARGN)
      if(header MATCHES "^${excluded}/")
        set(portable FALSE)
      endif()
    endforeach()
    if(portable)
      string(MAKE_C_IDENTIFIER ${header} name)
      set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}/${name}.cpp)
      # Written only when the text changes, so a configure run rebuilds nothing.
      file(CONFIGURE OUTPUT ${source} CONTENT "#include <windows.h>\n#include \"${header}\"\n")
      list(APPEND sources ${source})
    endif()
  endforeach()
  add_library(${target} OBJECT ${sources})
  target_include_directories(${target} PRIVATE ${root})
  # <windows.h> parsed once for all of them, not once per header.
  target_precompile_headers(${target} PRIVATE <windows.h>)
  vk_warnings(${target})
endfunction()
