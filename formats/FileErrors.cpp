#include "formats/FileErrors.h"

const char* FileErrorMessage(int code) {
    switch (code) {
    case FileCantOpen: return "Can't open file";
    case FileNotSupported: return "File format is not supported!";
    case FileNoMemory: return "Memory allocation failed!";
    case FileReadError: return "Error reading file!";
    case FileWriteError: return "Error writing file!";
    default: return nullptr;
    }
}
