#pragma once

#include "store/obx/obx.h"

// The compiled-in data model: 21 entities with their fixed ids and uids. Returns nothing when
// the library cannot create a model; errors of the individual calls stay in the model and are
// reported when the store options take it.
OBX_model *createObxModel();
