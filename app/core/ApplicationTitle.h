#pragma once

#include <QString>

// The title of every message box that names no title of its own: the product
// name cut before its last blank, again while it is longer than 40 characters.
QString ApplicationTitleFor(const QString& productName);

// Sets the application title from the product name.
void SetApplicationTitle();
QString ApplicationTitle();
