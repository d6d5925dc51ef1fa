// ProductVersion: the program's version as its About box shows it, from the version the build sets.
// Threads: any.
#pragma once

#include <string>

// "major.minor.patch", the patch in two digits: 1.5.0 reads "1.5.00".
std::string productVersion();
