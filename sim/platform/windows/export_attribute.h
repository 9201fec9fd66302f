// How an entry point is exported from the simulator's DLL.
#pragma once

#define QUELVANE_SIM_EXPORT extern "C" __declspec(dllexport)
