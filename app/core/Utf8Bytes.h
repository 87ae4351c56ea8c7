#pragma once

#include <string_view>

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), the file-name encoding.
bool IsUtf8(std::string_view bytes);

// Copies the bytes to out (room for all of them) while checking that they
// are valid UTF-8, in one pass; false, with part of them copied, when not.
bool CopyIfUtf8(std::string_view bytes, char* out);
