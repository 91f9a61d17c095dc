# The one version of the program is project(Velkrom VERSION ...). Code and
# resource scripts read it from the generated VelkromVersion.h through the
# vk_version target; the package files get it from the same variables.
# One reverse-DNS id names the desktop entry, the icon, the AppStream
# component and the running program, so that software centres and desktops
# tie them together.
set(VK_APP_ID io.github.velkrom.Velkrom)
# The project's home page: the site of the domain the id names. Software
# centres link to it (AppStream 1.0 warns about metadata without one).
set(VK_HOMEPAGE https://velkrom.github.io/)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in
               ${PROJECT_BINARY_DIR}/generated/VelkromVersion.h @ONLY)
add_library(vk_version INTERFACE)
target_include_directories(vk_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

# The program's own version constants (the About dialog and the version
# record use them) must name the same version: a bumped project version
# stops the build until they follow.
add_library(vk_version_check OBJECT ${PROJECT_SOURCE_DIR}/packaging/VersionCheck.cpp)
target_link_libraries(vk_version_check PRIVATE vk_version)
target_include_directories(vk_version_check PRIVATE ${PROJECT_SOURCE_DIR}/src)
vk_warnings(vk_version_check)
