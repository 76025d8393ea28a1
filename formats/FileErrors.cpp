#include "formats/FileErrors.h"

const char* const MultiImageWarning = "Multi-image format isn't supported yet!\n             Read only first.";
const char* const ConvertQuestion = "Current image format is not supported.\n Convert to 24bit 32x32?";

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
