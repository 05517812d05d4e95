// The test desktop's tools (the pointer, browsers, kelvane as a process), built into this bench.
#include "DesktopTools.cpp"
