# vk_windows_header_check(TARGET SOURCE_ROOT EXCLUDED_DIR...): an object
# library that compiles every header under SOURCE_ROOT after <windows.h>, so
# the build fails when a portable header spells one of the SDK's macros
# (HKEY_*, ERROR_*, NIM_*, WM_*, min, max...). EXCLUDED_DIRs (relative to
# SOURCE_ROOT) hold headers that are not portable.
#
# All of them in one file: <windows.h> comes first, so every header's text is
# read with the SDK's macros defined whichever header includes it first, and
# the SDK and the standard headers are parsed once for the lot instead of
# once per header (a file per header cost each Windows build about a minute).
function(vk_windows_header_check target root)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${root} ${root}/*.h)
  set(text "#include <windows.h>\n")
  foreach(header IN LISTS headers)
    set(portable TRUE)
    foreach(excluded IN LISTS ARGN)
      if(header MATCHES "^${excluded}/")
        set(portable FALSE)
      endif()
    endforeach()
    if(portable)
      string(APPEND text "#include \"${header}\"\n")
    endif()
  endforeach()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
  # Written only when the text changes, so a configure run rebuilds nothing.
  file(CONFIGURE OUTPUT ${source} CONTENT "${text}")
  add_library(${target} OBJECT ${source})
  target_include_directories(${target} PRIVATE ${root})
  vk_warnings(${target})
endfunction()
