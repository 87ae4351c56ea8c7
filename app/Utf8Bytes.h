#pragma once

#include <string>
#include <string_view>

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), the file-name encoding.
bool IsUtf8(std::string_view bytes);

// Appends the bytes to out when they are valid UTF-8, checking them in the
// same pass that copies them; leaves out as it was and returns false when
// they are not. out should have room reserved: nothing is allocated then.
bool AppendIfUtf8(std::string& out, std::string_view bytes);
