#include "actions/Clipboard.h"

#include "actions/AlignedText.h"
#include "app/core/EventPump.h"
#include "app/core/RowList.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
constexpr int kAttempts = 1000;
}

void ClearClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        clipboard->clear();
        if (clipboard->text().isEmpty())
            return;
    }
}

bool SetClipboardText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        clipboard->setText(text);
        if (clipboard->text() == text)
            return true;
    }
    return false;
}

void CopyListviewToClipboard(const RowList& rows, EventPump& pump)
{
    if (rows.Count() <= 0)
        return;
    const QString text = ClipboardText(rows, pump);
    // A copy cut short by closing leaves the clipboard as it was.
    if (pump.Closing())
        return;
    ClearClipboard();
    SetClipboardText(text);
}
