#pragma once
// The program's version, used by the version record of the resource script.

#define QARVEL_VERSION_NUMBERS 0, 0, 0, 1
#define QARVEL_VERSION_TEXT "0.00.0001"
