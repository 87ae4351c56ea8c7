#include "tests/support/FormFixture.h"

#include "app/window/RowTableView.h"

#include <QAction>
#include <QMenu>

void FormFixture::MakeForm(FileSystem* fileSystem, const QString& programFolder)
{
    FileSystem& chosen = fileSystem ? *fileSystem : posixFileSystem;
    form = std::make_unique<Form1>(Seams{chosen, dialogs, shell, pump}, programFolder);
    form->SetRandomSource([] { return 0.5; });
    form->Form_Load();
}

QAction* FormFixture::MenuEntry(const QString& name)
{
    auto* menu = form->findChild<QMenu*>(QStringLiteral("ResultListContextMenu"));
    emit form->ListView2->customContextMenuRequested(QPoint(1, 1));
    menu->hide();
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(name))
            return action;
    }
    ADD_FAILURE() << name.toStdString() << " is not in the menu";
    return new QAction(menu);
}
