// Compiled only to check that the program's version constants agree with the
// project's version, which the packages and the version record carry.
#include "VelkromVersion.h"
#include "about/ProgramInfo.h"

static_assert(vk::kVersionMajor == VK_VERSION_MAJOR && vk::kVersionMinor == VK_VERSION_MINOR &&
                  vk::kVersionRevision == VK_VERSION_PATCH,
              "about/ProgramInfo.h names another version than project(Velkrom VERSION ...)");
