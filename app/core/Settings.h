#pragma once

#include <QString>

// The per-user settings store: application "Halvecore", section "Orvanta
// Software". Every call goes to the store; nothing is cached.

// The value under the key, or the default where the store or the key is
// absent. Throws Failure when the store is there but cannot be read.
QString ReadSetting(const QString& key, const QString& defaultValue);
// Throws Failure when the store cannot be written.
void WriteSetting(const QString& key, const QString& value);
