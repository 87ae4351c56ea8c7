#pragma once

#include "app/window/Form1.h"
#include "app/window/ResultListMenu.h"
#include "app/window/RowTableView.h"
#include "tests/support/FakeDialogs.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <random>

// A user who clicks at random, from a seed: every button, a double-click or
// Delete in either list, Space in the results, an option, a picker's date,
// Stop and Start again, a sort by a column heading, Check or Uncheck All.
// A button click runs the whole nested command, answered from the dialog
// queues set by AnswerAtRandom.
class RandomUser {
public:
    RandomUser(Form1& form, FakeDialogs& dialogs) : m_form(form), m_dialogs(dialogs) {}

    void Seed(unsigned seed) { m_rng.seed(seed); }
    int Draw(int bound) { return static_cast<int>(m_rng() % static_cast<unsigned>(bound)); }
    bool Coin() { return Draw(2) == 0; }

    // Yes or No to each question, one of the folders (the empty one cancels)
    // and one of the save names.
    void AnswerAtRandom(const QStringList& folders, const QStringList& saveNames)
    {
        m_dialogs.answers = {Coin(), Coin()};
        m_dialogs.folders = {folders[Draw(static_cast<int>(folders.size()))]};
        m_dialogs.saveNames = {saveNames[Draw(static_cast<int>(saveNames.size()))]};
    }

    // One action, button clicks drawn kButtonWeight times as often as each other kind.
    void ActOnce()
    {
        const int draw = Draw(static_cast<int>(Action::Count) + kButtonWeight - 1);
        Act(draw < kButtonWeight ? Action::ClickButton : static_cast<Action>(draw - kButtonWeight + 1));
    }

    // What was done so far, one entry per action.
    const QStringList& Done() const { return m_done; }

private:
    enum class Action {
        ClickButton,
        DoubleClickFolders,
        DeleteInFolders,
        DoubleClickResults,
        DeleteInResults,
        SpaceInResults,
        ClickOption,
        SetPickerDate,
        StopAndStart,
        SortResults,
        CheckAll,
        Count
    };
    // Button clicks start whole nested commands, where most can go wrong.
    static constexpr int kButtonWeight = 4;

    void Act(Action action)
    {
        QAbstractItemView* folders = m_form.ListView1;
        QAbstractItemView* results = m_form.ListView2;
        switch (action) {
        case Action::ClickButton: {
            QPushButton* buttons[] = {m_form.PushButton1, m_form.PushButton2, m_form.PushButton3, m_form.PushButton4,
                                      m_form.PushButton5, m_form.PushButton6, m_form.PushButton7, m_form.PushButton8,
                                      m_form.PushButton9, m_form.PushButton11};
            QPushButton* button = buttons[Draw(static_cast<int>(std::size(buttons)))];
            m_done << button->objectName();
            button->click();
            break;
        }
        case Action::DoubleClickFolders:
            m_done << QStringLiteral("double-click folders");
            DoubleClick(folders);
            break;
        case Action::DeleteInFolders:
            PressOnRandomRow(folders, Qt::Key_Delete, QStringLiteral("Delete in folders"));
            break;
        case Action::DoubleClickResults:
            m_done << QStringLiteral("double-click results");
            DoubleClick(results);
            break;
        case Action::DeleteInResults:
            PressOnRandomRow(results, Qt::Key_Delete, QStringLiteral("Delete in results"));
            break;
        case Action::SpaceInResults:
            PressOnRandomRow(results, Qt::Key_Space, QStringLiteral("Space in results"));
            break;
        case Action::ClickOption: {
            QRadioButton* options[] = {m_form.Option1, m_form.Option2, m_form.Option3, m_form.Option4,
                                       m_form.Option5, m_form.Option6, m_form.Option7};
            QRadioButton* option = options[Draw(static_cast<int>(std::size(options)))];
            m_done << option->objectName();
            option->click();
            break;
        }
        case Action::SetPickerDate: {
            QDateEdit* pickers[] = {m_form.DTPicker1, m_form.DTPicker2, m_form.DTPicker3, m_form.DTPicker4,
                                    m_form.DTPicker5};
            QDateEdit* picker = pickers[Draw(static_cast<int>(std::size(pickers)))];
            const QDate date(2000 + Draw(26), 1 + Draw(12), 1 + Draw(28));
            m_done << picker->objectName() + QLatin1Char(' ') + date.toString(Qt::ISODate);
            picker->setDate(date);
            break;
        }
        case Action::StopAndStart:
            m_done << QStringLiteral("Stop and Start");
            m_form.PushButton1->click();
            m_form.PushButton1->click();
            break;
        case Action::SortResults: {
            const int column = Draw(2);
            const auto order = Coin() ? Qt::AscendingOrder : Qt::DescendingOrder;
            m_done << QStringLiteral("sort by column %1").arg(column + 1);
            m_form.ListView2->horizontalHeader()->setSortIndicator(column, order);
            break;
        }
        case Action::CheckAll: {
            const bool checked = Coin();
            m_done << (checked ? QStringLiteral("Check All") : QStringLiteral("Uncheck All"));
            m_form.findChild<ResultListMenu*>(QStringLiteral("ResultListMenu"))->CheckAll(checked);
            break;
        }
        case Action::Count: break;
        }
    }

    // Makes a random row (if any) current and selected.
    void SelectRandomRow(QAbstractItemView* view)
    {
        const int count = view->model()->rowCount();
        if (count == 0)
            return;
        const QModelIndex index = view->model()->index(Draw(count), 0);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Presses a key on a random row, as the user would after clicking it.
    void PressOnRandomRow(QAbstractItemView* view, Qt::Key key, const QString& description)
    {
        m_done << description;
        SelectRandomRow(view);
        QTest::keyClick(view, key);
    }

    void DoubleClick(QAbstractItemView* view)
    {
        SelectRandomRow(view);
        const QModelIndex current = view->currentIndex();
        view->scrollTo(current);
        const QPoint at = current.isValid() ? view->visualRect(current).center() : view->viewport()->rect().center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    Form1& m_form;
    FakeDialogs& m_dialogs;
    std::mt19937 m_rng;
    QStringList m_done;
};
