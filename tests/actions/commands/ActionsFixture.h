#pragma once

#include "app/core/RowList.h"
#include "app/window/RowTableView.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QFile>
#include <QHeaderView>
#include <QStringList>
#include <QTableView>
#include <QTest>

#include <map>

// The main window with a result list the test fills itself.
class ActionsFixture : public FormFixture {
protected:
    RowList& Rows() { return form->ResultRows(); }

    // Columns as after a search by date modified; each row's time is its
    // index into dates, shown as that text.
    void FillRows(const QStringList& paths, const QStringList& dates = {})
    {
        RowList& rows = Rows();
        while (rows.ColumnCount() > 0)
            rows.RemoveColumn(1);
        rows.AddColumn(QStringLiteral("File(s) Found"));
        rows.AddColumn(QStringLiteral("Date Modified"));
        rows.SetTimeFormatter([dates](qint64 time) { return dates.value(static_cast<int>(time)); });
        for (int i = 0; i < paths.size(); ++i)
            rows.Add(paths[i], i);
    }

    void CheckRows(std::initializer_list<int> indexes)
    {
        for (int index : indexes)
            Rows().SetChecked(index, true);
    }

    QStringList RowTexts()
    {
        QStringList texts;
        for (int r = 1; r <= Rows().Count(); ++r)
            texts << Rows().Text(r);
        return texts;
    }

    // Clicks the result list's heading of the 0-based column, as the user does.
    void ClickHeading(int section)
    {
        QHeaderView* header = form->ListView2->horizontalHeader();
        const QPoint point(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                           header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
    }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TestDir dir;
};
