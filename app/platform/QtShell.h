#pragma once

#include "app/Shell.h"

// The desktop's programs through QDesktopServices.
class QtShell : public Shell {
public:
    void OpenUrl(const QUrl& url) override;
    void ShowInFolder(const QString& filePath) override;
};
