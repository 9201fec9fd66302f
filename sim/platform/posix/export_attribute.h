// How an entry point is exported from the simulator's shared object.
#pragma once

#define QUELVANE_SIM_EXPORT extern "C" __attribute__((visibility("default")))
