#include "app/platform/QtDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

#include <algorithm>

namespace {
// Box texts use bare CR for line breaks; Qt breaks lines at LF.
QString ForDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, ForDisplay(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Qt takes a name filter's patterns from its text, and "*.*" then asks for a
// dot in the name. Names here need none, so "*.*" matches as "*" while the
// dialog shows each filter's text as given.
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget* owner, const QString& title, const QStringList& filters)
        : QFileDialog(owner, title), m_filterTexts(filters)
    {
        static const QRegularExpression allNames(QStringLiteral("(?<=[( ])\\*\\.\\*(?=[ )])"));
        QStringList matching;
        for (const QString& filter : filters)
            matching << QString(filter).replace(allNames, QStringLiteral("*"));
        setNameFilters(matching);
    }

    // Qt's own dialog builds its widgets when first shown; a desktop's native
    // dialog has none and shows the filters Qt gave it.
    void setVisible(bool visible) override
    {
        QFileDialog::setVisible(visible);
        auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; visible && types && i < std::min<int>(types->count(), m_filterTexts.size()); ++i)
            types->setItemText(i, m_filterTexts[i]);
    }

private:
    QStringList m_filterTexts;
};
}  // namespace

void QtDialogs::ShowMessage(QWidget* owner, const QString& title, const QString& text)
{
    Show(owner, QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

bool QtDialogs::AskYesNo(QWidget* owner, const QString& title, const QString& text)
{
    return Show(owner, QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::ShowWarning(QWidget* owner, const QString& title, const QString& text)
{
    Show(owner, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

QString QtDialogs::PickFolder(QWidget* owner, const QString& title, const QString& startFolder)
{
    const QString start = QFileInfo(startFolder).isDir() ? startFolder : QString();
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

namespace {
QString RunSaveDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
}  // namespace

QString QtDialogs::PickSaveFile(QWidget* owner, const QString& title, const QStringList& filters)
{
    SaveDialog dialog(owner, title, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    return RunSaveDialog(dialog);
}

QString QtDialogs::PickNewSaveFile(QWidget* owner, const QString& title, const QStringList& filters,
                                   const QString& defaultSuffix)
{
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    return RunSaveDialog(dialog);
}
