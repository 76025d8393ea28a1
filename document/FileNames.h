// File names as the program keeps them: UTF-8 inside, UTF-16 where they
// meet the system. Plain C++, so the editor, pixtor-cli and the tests
// share one strict conversion and one reading of a path.
#pragma once
#include <cstddef>
#include <string>

// The system's longest path in UTF-16 units, its terminating zero included
// (MAX_PATH). A longer name is refused, never cut: a cut name is another
// file.
constexpr int PathUnits = 260;

// Strict conversions. False for bytes that are no UTF-8 (overlong forms,
// surrogates, values past U+10FFFF) and for a lone surrogate in UTF-16,
// which no UTF-8 can hold: such a name is refused rather than changed.
bool Utf16FromUtf8(const std::string& utf8, std::u16string& out);
bool Utf8FromUtf16(const char16_t* utf16, size_t count, std::string& out);

// UTF-16 as UTF-8, a lone surrogate kept as its own three bytes: no strict
// reader takes those, so such a name is refused later rather than read as
// another file's.
std::string Utf8Loosely(const char16_t* utf16, size_t count);

// A name the system can hold: UTF-8 of fewer than PathUnits UTF-16 units.
bool FitsSystemPath(const std::string& utf8);

// The file's name with its extension: what follows the last \, / or :.
std::string TitleOfPath(const std::string& path);

// The text after the name's last '.' is ext (ASCII, any letter case); a
// name without '.' has none.
bool HasExtension(const char* name, const char* ext);
