#include "support/DataTable.h"
#include "widgets/ToolBarCustomizer.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

struct Bar {
    QToolBar bar;
    QList<QAction*> items;
    QAction* separator;
    QAction* control;
    int dressed = 0;
    std::unique_ptr<widgets::ToolBarItems> layout;

    Bar()
    {
        for (const char* name : { "Find", "Patient", "Chart", "Money", "Images" }) {
            QAction* item = bar.addAction(QLatin1String(name));
            item->setObjectName(QLatin1String(name));
            items << item;
        }
        separator = bar.addSeparator();
        control = bar.addWidget(new QLabel(QStringLiteral("navigator")));
        layout = std::make_unique<widgets::ToolBarItems>(&bar, items, [this](QAction*, QWidget* button) {
            if (button)
                ++dressed;
        });
        bar.show();
    }
    QStringList all() const
    {
        QStringList names;
        for (const QAction* action : bar.actions())
            names << (action == separator ? QStringLiteral("|") : action == control ? QStringLiteral("[nav]") : action->objectName());
        return names;
    }
};

QStringList listed(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->data(Qt::UserRole).toString();
    return names;
}

} // namespace

class TestToolBarCustomizer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenItemsComeFirstInTheirOrder_data()
    {
        testsupport::addRows<QString, QStringList>({ "stored", "bar" },
            {
                { "reordered subset", "Money,find", QStringList { "Money", "Find", "|", "[nav]" } },
                { "names of another version skipped", "Old,Chart,Chart,Images",
                    QStringList { "Chart", "Images", "|", "[nav]" } },
                { "nothing known keeps the bar", "Old,Older",
                    QStringList { "Find", "Patient", "Chart", "Money", "Images", "|", "[nav]" } },
                { "empty is as designed", " , ",
                    QStringList { "Find", "Patient", "Chart", "Money", "Images", "|", "[nav]" } },
            });
    }
    void chosenItemsComeFirstInTheirOrder()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, bar);
        Bar b;
        b.layout->show(widgets::ToolBarItems::names(stored));
        QCOMPARE(b.all(), bar);
        // Buttons the bar made again are dressed like the designed ones.
        if (bar.size() < 7)
            QCOMPARE(b.dressed, bar.size() - 2);
        b.layout->show({});
        QCOMPARE(b.all(), (QStringList { "Find", "Patient", "Chart", "Money", "Images", "|", "[nav]" }));
    }

    void dialogAddsRemovesMovesAndResets()
    {
        Bar b;
        b.layout->show({ "Chart", "Find" });
        widgets::TToolBarCustomizeForm form(*b.layout);
        QCOMPARE(listed(form.ShownList), (QStringList { "Chart", "Find" }));
        QCOMPARE(listed(form.AvailableList), (QStringList { "Patient", "Money", "Images" }));
        QVERIFY(!form.UpBtn->isEnabled() && !form.RemoveBtn->isEnabled());

        // Added after the current shown item.
        form.ShownList->setCurrentRow(0);
        form.AvailableList->setCurrentRow(1);
        form.AddBtn->click();
        QCOMPARE(form.shown(), (QStringList { "Chart", "Money", "Find" }));
        form.DownBtn->click();
        QCOMPARE(form.shown(), (QStringList { "Chart", "Find", "Money" }));
        QVERIFY(!form.DownBtn->isEnabled());
        form.ShownList->setCurrentRow(0);
        form.RemoveBtn->click();
        // Back among the others in its designed place.
        QCOMPARE(listed(form.AvailableList), (QStringList { "Patient", "Chart", "Images" }));

        // A bar without items is refused; hiding the bar is the way to have none.
        QPushButton* ok = form.Buttons->button(QDialogButtonBox::Ok);
        for (int i = 0; i < 2; ++i) {
            form.ShownList->setCurrentRow(0);
            form.RemoveBtn->click();
        }
        QVERIFY(!ok->isEnabled());
        form.ResetBtn->click();
        QVERIFY(ok->isEnabled());
        QCOMPARE(form.shown(), b.layout->designed());
    }

    void okAppliesAndCancelKeepsTheBar()
    {
        for (const bool accept : { true, false }) {
            Bar b;
            QTimer::singleShot(0, [accept] {
                auto* form = qobject_cast<widgets::TToolBarCustomizeForm*>(QApplication::activeModalWidget());
                QVERIFY(form);
                form->ShownList->setCurrentRow(4);
                form->UpBtn->click();
                accept ? form->accept() : form->reject();
            });
            QCOMPARE(widgets::customizeToolBar(*b.layout, &b.bar), accept);
            QCOMPARE(b.layout->shown(),
                accept ? (QStringList { "Find", "Patient", "Chart", "Images", "Money" }) : b.layout->designed());
        }
    }
};

QTEST_MAIN(TestToolBarCustomizer)
#include "tst_toolbarcustomizer.moc"
