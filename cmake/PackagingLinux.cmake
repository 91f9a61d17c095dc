# The Linux installation and its Debian package. Everything goes where
# GNUInstallDirs says, so "cmake --install" serves any prefix; the package
# installs under /usr (CPack's default for DEB).
include(GNUInstallDirs)
find_package(Qt6 REQUIRED COMPONENTS Gui)
find_program(VK_GZIP gzip REQUIRED)

set(vk_data ${PROJECT_SOURCE_DIR}/packaging/linux)
set(vk_out ${PROJECT_BINARY_DIR}/packaging)
# Debian wants the documentation under the package's own name.
set(vk_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VK_PACKAGE_NAME})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The release date, as the changelog writes it ("Mon, 07 Dec 2026"). The
# weekday comes from Sakamoto's method, so it always matches the date.
if(NOT VK_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
  message(FATAL_ERROR "VK_RELEASE_DATE '${VK_RELEASE_DATE}' is not YYYY-MM-DD")
endif()
set(vk_day ${CMAKE_MATCH_3})
math(EXPR vk_year "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^0" "" vk_month "${CMAKE_MATCH_2}")
string(REGEX REPLACE "^0" "" vk_mday "${vk_day}")
set(vk_month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
set(vk_month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(vk_weekday_names Sun Mon Tue Wed Thu Fri Sat)
math(EXPR vk_index "${vk_month} - 1")
list(GET vk_month_offsets ${vk_index} vk_offset)
list(GET vk_month_names ${vk_index} vk_month_name)
set(vk_y ${vk_year})
if(vk_month LESS 3)
  math(EXPR vk_y "${vk_year} - 1")
endif()
math(EXPR vk_weekday "(${vk_y} + ${vk_y} / 4 - ${vk_y} / 100 + ${vk_y} / 400 + ${vk_offset} + ${vk_mday}) % 7")
list(GET vk_weekday_names ${vk_weekday} vk_weekday_name)
set(VK_RELEASE_DATE_RFC2822 "${vk_weekday_name}, ${vk_day} ${vk_month_name} ${vk_year} 12:00:00 +0000")

# The licence text as a paragraph of the Debian copyright file: every line
# indented by one blank, an empty line written " .".
string(REPLACE "\n\n" "\n.\n" vk_text "${VK_LICENSE_BODY}")
string(REPLACE "\n" "\n " VK_LICENSE_TEXT " ${vk_text}")

# Text files with the version, the id and the dates filled in.
configure_file(${vk_data}/app.desktop.in ${vk_out}/${VK_APP_ID}.desktop @ONLY)
configure_file(${vk_data}/app.metainfo.xml.in ${vk_out}/${VK_APP_ID}.metainfo.xml @ONLY)
configure_file(${vk_data}/copyright.in ${vk_out}/copyright @ONLY)
configure_file(${vk_data}/velkrom.1.in ${vk_out}/velkrom.1 @ONLY)
configure_file(${vk_data}/changelog.in ${vk_out}/changelog @ONLY)

# The icon theme's sizes, rendered from the program's own 32 x 32 picture.
add_executable(vk_render_icons ${PROJECT_SOURCE_DIR}/packaging/render_icons.cpp)
target_link_libraries(vk_render_icons PRIVATE vk_platform Qt6::Gui)
vk_warnings(vk_render_icons)
set(vk_icon_sizes 16 22 24 32 48 64 128 256)
set(vk_icons)
foreach(size IN LISTS vk_icon_sizes)
  list(APPEND vk_icons ${vk_out}/icons/${size}x${size}/apps/${VK_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${vk_icons}
  COMMAND vk_render_icons ${vk_out}/icons ${VK_APP_ID} ${vk_icon_sizes}
  DEPENDS vk_render_icons
  COMMENT "Rendering the program icon at ${vk_icon_sizes} pixels"
  VERBATIM)

# Manual page and changelog go in compressed (-n: no name or time stamp, so
# the same sources give the same bytes).
add_custom_command(
  OUTPUT ${vk_out}/velkrom.1.gz ${vk_out}/changelog.gz
  COMMAND ${VK_GZIP} -9nkf ${vk_out}/velkrom.1 ${vk_out}/changelog
  DEPENDS ${vk_out}/velkrom.1 ${vk_out}/changelog
  COMMENT "Compressing the manual page and the changelog"
  VERBATIM)
add_custom_target(vk_install_files ALL DEPENDS ${vk_icons} ${vk_out}/velkrom.1.gz
                                               ${vk_out}/changelog.gz)

# Bound at start-up, so the read-only part after relocation (relro, the
# linker's default) covers the whole GOT, as in Debian's own builds.
target_link_options(velkrom PRIVATE LINKER:-z,now)
install(TARGETS velkrom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (CPack's) also drops the toolchain's notes, as dh_strip
# does: nothing at run time reads them.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(
      COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:velkrom>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(FILES ${vk_out}/${VK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vk_out}/${VK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS vk_icon_sizes)
  install(FILES ${vk_out}/icons/${size}x${size}/apps/${VK_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${vk_out}/velkrom.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${vk_out}/copyright ${vk_out}/changelog.gz DESTINATION ${vk_docdir})

# The Debian package: velkrom_<version>_<arch>.deb. Its dependencies are
# computed from the program by dpkg-shlibdeps (dpkg-dev). The desktop's menu
# and icon caches are refreshed by the triggers of the packages that own
# them, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_NAME ${VK_PACKAGE_NAME})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memory monitor and freer for the notification area")
set(CPACK_PACKAGE_DESCRIPTION
    "Velkrom shows the machine's physical memory and what RAM and swap can hold
together in one small window: for each the total, the used and the free amount
in megabytes, and a bar whose green part is the free share, refreshed
continuously.

On demand, or by itself when free memory runs low, it takes one block of
160,000,000 bytes, writes it and gives it back at once. It keeps an entry in
the notification area, where its window can be hidden and brought back.")
