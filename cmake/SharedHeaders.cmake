# vk_shared_headers(TARGET HEADER...): the headers most of TARGET's files
# read, parsed once for the target (a precompiled header) instead of once
# per file. A unity build (CMAKE_UNITY_BUILD: the sanitizer and Windows
# trees, scripts/build.sh) compiles the files in batches that parse them
# once each already; there, making the precompiled header would only add.
function(vk_shared_headers target)
  get_target_property(unity ${target} UNITY_BUILD)
  if(NOT unity)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()
