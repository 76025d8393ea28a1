// Where pixtor-cli meets its system: its arguments, the files it reads, the
// text it prints and the cores it runs on. Names are UTF-8 inside. On
// Windows the arguments come from the wide command line, files open by their
// wide names, and text for a console is handed to it wide, so every name
// shows as it was written; text for a file or a pipe stays UTF-8.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#ifdef __MINGW_PRINTF_FORMAT
#define PIXTOR_PRINTF __MINGW_PRINTF_FORMAT   // the C library's own printf, %zu included
#else
#define PIXTOR_PRINTF printf
#endif

std::FILE* OpenForReading(const std::string& path);
// Prints to stdout or stderr; inside a batch's task, to that task's record,
// which the batch prints in the order of its files.
void Print(std::FILE* to, const char* format, ...) __attribute__((format(PIXTOR_PRINTF, 2, 3)));
bool IsTerminal(std::FILE* stream);

// Does each(0) .. each(count - 1) on every core, and prints what each
// printed in that order, as one thread would have. On a terminal, a batch
// that runs longer than a second (PIXTOR_PROGRESS_AFTER milliseconds)
// tells its progress on standard error.
// Returns how many failed (each's result non-zero).
int RunBatch(size_t count, const std::function<int(size_t)>& each);
