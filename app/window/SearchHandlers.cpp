#include "app/window/Form1.h"
#include "app/window/SearchControlsView.h"
#include "search/SearchCommand.h"

#include <QRadioButton>

void Form1::PushButton1_Click()
{
    SearchControlsView controls(*this);
    SearchCommand command({*m_folderRows, *m_resultRows, *m_search, m_seams, *this, controls});
    QObject scope;
    connect(this, &Form1::CloseRequested, &scope, [&command] { command.CloseRequested(); });
    for (QRadioButton* option : {Option1, Option2, Option3})
        connect(option, &QRadioButton::toggled, &scope, [&command] { command.DateTypeChanged(); });
    command.Run();
}
