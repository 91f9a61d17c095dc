# The Windows program's packages. Each architecture makes its zip with CPack
# (velkrom-<version>-win32.zip from the i686 build, -win64.zip from the
# x86_64 one): the program, a read-me and the licence in one folder. The
# i686 build also makes the installer with NSIS (target "installer":
# velkrom-<version>-setup.exe), as the 32-bit program runs on every Windows.
# scripts/package.sh windows makes all three.
set(vk_win_data ${PROJECT_SOURCE_DIR}/packaging/windows)
set(vk_out ${PROJECT_BINARY_DIR}/packaging)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(vk_win_suffix win64)
else()
  set(vk_win_suffix win32)
endif()

# Text with Windows line ends: older Notepads show LF-only text as one line.
configure_file(${vk_win_data}/README.txt.in ${vk_out}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${vk_out}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

# The program as shipped: without its symbol table (the resources stay).
add_custom_command(
  OUTPUT ${vk_out}/velkrom.exe
  COMMAND ${CMAKE_STRIP} -o ${vk_out}/velkrom.exe $<TARGET_FILE:velkrom>
  DEPENDS velkrom
  COMMENT "Stripping the program for its packages"
  VERBATIM)
add_custom_target(vk_windows_payload ALL DEPENDS ${vk_out}/velkrom.exe)

install(PROGRAMS ${vk_out}/velkrom.exe DESTINATION .)
install(FILES ${vk_out}/README.txt ${vk_out}/LICENSE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${VK_PACKAGE_NAME}-${PROJECT_VERSION}-${vk_win_suffix})
# Unpacked, the zip makes one folder of that name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)

if(vk_win_suffix STREQUAL win32)
  set(VK_VERSION_FOUR ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(VK_NSIS_PAYLOAD ${vk_out}/velkrom.exe)
  set(VK_NSIS_README ${vk_out}/README.txt)
  set(VK_NSIS_LICENSE ${vk_out}/LICENSE.txt)
  set(VK_NSIS_ICON ${PROJECT_SOURCE_DIR}/src/platform/win32/velkrom.ico)
  set(VK_NSIS_OUTFILE ${PROJECT_BINARY_DIR}/${VK_PACKAGE_NAME}-${PROJECT_VERSION}-setup.exe)
  configure_file(${vk_win_data}/velkrom.nsi.in ${vk_out}/velkrom.nsi @ONLY)
  find_program(VK_MAKENSIS makensis)
  if(VK_MAKENSIS)
    add_custom_command(
      OUTPUT ${VK_NSIS_OUTFILE}
      COMMAND ${VK_MAKENSIS} -V2 ${vk_out}/velkrom.nsi
      DEPENDS ${vk_out}/velkrom.nsi ${VK_NSIS_PAYLOAD} ${VK_NSIS_README} ${VK_NSIS_LICENSE}
              ${VK_NSIS_ICON}
      COMMENT "Making the installer with NSIS"
      VERBATIM)
    add_custom_target(installer DEPENDS ${VK_NSIS_OUTFILE})
  else()
    message(STATUS "makensis not found (Debian: nsis): no installer target")
  endif()
endif()
