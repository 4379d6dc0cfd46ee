#pragma once
// Resource ids of the executable.

#define IDI_QARVEL 1
