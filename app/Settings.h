#pragma once

#include <QString>

// The per-user settings store: application "Halvecore", section "Orvanta
// Software". Every call goes to the store; nothing is cached.
QString ReadSetting(const QString& key, const QString& defaultValue);
// Throws Failure when the store cannot be written.
void WriteSetting(const QString& key, const QString& value);
