#pragma once

#include "link/link_interrupt.h"
#include "link/link_services.h"

namespace quorvane {

// The real services of the platform this program was built for. Lives until the process ends.
LinkServices& PlatformLinkServices();

// The interrupt those services wait on. Lives until the process ends; its Request may be called
// from a signal handler once this has returned.
LinkInterrupt& ProcessLinkInterrupt();

}  // namespace quorvane
