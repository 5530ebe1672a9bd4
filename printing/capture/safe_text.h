#pragma once

// Capture's names go through the one rule for text from outside, which now lives in core.
#include "core/safe_text.h"
