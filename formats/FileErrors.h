// The error codes of the file layer; the shell shows the message of a code
// through MistakeHandler, the command-line tool prints it.
#pragma once

enum FileErrorCode {
    FileOk = 0,
    FileCantOpen = 1,        // "Can't open file"
    FileNotSupported = 2,    // "File format is not supported!"
    FileNoMemory = 3,        // "Memory allocation failed!"
    FileReadError = 4,       // "Error reading file!"
    FileWriteError = 5,      // "Error writing file!"
};

// The message of a code, or nullptr for a code that shows none.
const char* FileErrorMessage(int code);

// What the icon reader has to say besides errors: an icon file with more
// than one image (only the first is read), and the question for a file of
// a size or depth the editor cannot take.
extern const char* const MultiImageWarning;
extern const char* const ConvertQuestion;
