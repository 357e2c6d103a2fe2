#pragma once

// The model as the C-style model calls build it: the schema under construction and the first
// error that any call met.

#include "schema.h"

#include <string>

struct OBX_model
{
    obx::internal::Schema schema;
    int errorCode = OBX_SUCCESS;
    std::string errorMessage;
    int currentEntity = -1;   // position in schema.entities
    int currentProperty = -1; // position in that entity's properties
};
