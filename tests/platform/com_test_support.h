// A private registry for each test of the component layer.
#pragma once

#include "tests/support/temp_registry.h"

using ComRegistryTest = TempRegistryTest;
