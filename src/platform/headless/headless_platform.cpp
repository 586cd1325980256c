// The headless back end has no native side: the queued platform's defaults are it.
#include "platform/headless/headless_platform.h"

std::unique_ptr<TQueuedPlatform> CreateHeadlessPlatform(TPlatformConfig config) {
  return std::make_unique<TQueuedPlatform>(std::move(config));
}
