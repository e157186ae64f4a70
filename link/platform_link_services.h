#pragma once

#include "link/link_services.h"

namespace quorvane {

// The real services of the platform this program was built for. Lives until the process ends.
LinkServices& PlatformLinkServices();

}  // namespace quorvane
