// Controls of the headless host, for the command-line front end and the tests.
#pragma once
#include <string>

extern bool headless_keys[256];     // indexed by Windows virtual-key code
extern bool headless_foreground;    // false: the key matrix is left as it is
extern int headless_error_count;    // errors shown so far
extern std::string headless_last_error;
