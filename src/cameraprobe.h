#pragma once

namespace spdlog {
class logger;
}

/// One pass over the attached cameras at start-up: logs "No devices found" when
/// there is none, otherwise starts and ends a one-image grab on the first one.
/// Keeps nothing. An SDK failure is logged as a warning and goes no further.
void probeFirstCamera(spdlog::logger &logger);
