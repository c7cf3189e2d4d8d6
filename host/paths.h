// The platform's side of file paths.
#pragma once

#include <string>

#include "runtime/string.h"

// The running executable's full path, or the empty text if it cannot be read.
String ExecutablePath();
// The folder of an executable path: every "\" turned into "/", cut before the
// last "/". A path without any separator lies in the working directory, ".".
String DirectoryOf(const String& executablePath);
// UTF-8 for the platform's file functions. Surrogate pairs become one 4-byte
// sequence: a path must name the file that exists, not the three-byte
// encoding of each half that saved text would use. A lone surrogate is
// encoded by itself.
std::string PathToUtf8(const String& path);
