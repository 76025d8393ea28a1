// Where pixtor-cli meets its system: its arguments, the files it reads and
// the text it prints. Names are UTF-8 inside. On Windows the arguments come
// from the wide command line, files open by their wide names, and text for a
// console is handed to it wide, so every name shows as it was written;
// text for a file or a pipe stays UTF-8.
#pragma once
#include <cstdio>
#include <string>

#ifdef __MINGW_PRINTF_FORMAT
#define PIXTOR_PRINTF __MINGW_PRINTF_FORMAT   // the C library's own printf, %zu included
#else
#define PIXTOR_PRINTF printf
#endif

std::FILE* OpenForReading(const std::string& path);
void Print(std::FILE* to, const char* format, ...) __attribute__((format(PIXTOR_PRINTF, 2, 3)));
