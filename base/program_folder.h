// The folder of the running program (Win32 only): the module file name up to its last backslash.
#pragma once
#include <string>

std::string program_folder();
