# Warnings are errors for our own code; third-party headers come in as system includes.
function(vk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow
                                           -Wnon-virtual-dtor -Wold-style-cast)
endfunction()
