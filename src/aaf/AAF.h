#pragma once

// The AAF reader's public API: the AAF SDK's names and behaviour for reading compositions.

#include "aaf/aaf_constants.h"
#include "aaf/aaf_interfaces.h"
#include "aaf/aaf_result.h"
#include "aaf/aaf_types.h"
