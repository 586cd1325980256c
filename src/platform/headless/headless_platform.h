// The headless back end: no display at all. Frames stay in memory, boxes go to stderr,
// input comes from the script. Everything it needs is in the shared queued platform.
#pragma once

#include <memory>

#include "platform/queued_platform.h"

std::unique_ptr<TQueuedPlatform> CreateHeadlessPlatform(TPlatformConfig config);
