#include "widgets/ConflictDialog.h"

#include "db/ErrorWords.h"
#include "platform/MessageTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace widgets {

namespace {

using Choice = db::ChangedElsewhere::Choice;

QString say(const char* text)
{
    return platform::MessageTexts::program().Message(QString::fromLatin1(text));
}

// A stored value as the windows show it.
QString shown(const QVariant& value)
{
    if (value.isNull())
        return say("(empty)");
    const QLocale locale;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? say("Yes") : say("No");
    case QMetaType::Double:
        return locale.toString(value.toDouble(), 'f', 2);
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    case QMetaType::QByteArray:
        return say("(picture or file)");
    default:
        return value.toString();
    }
}

// An amount's EURO twin says which currency it is in.
QString fieldLabel(const QString& label)
{
    const QString name = db::fieldInWords(label);
    return label.endsWith(QLatin1String("EURO")) && label.size() > 4 ? name + QStringLiteral(" (€)") : name;
}

} // namespace

ConflictDialog::ConflictDialog(const db::ChangedElsewhere& conflict, QWidget* parent)
    : QDialog(parent)
    , m_choice(conflict.operation() == db::ChangedElsewhere::Operation::Delete ? Choice::KeepTheirs
                                                                               : Choice::GoOnEditing)
{
    setObjectName(QStringLiteral("ConflictDialog"));
    setWindowTitle(say("Changed at another workstation"));
    const bool deleting = conflict.operation() == db::ChangedElsewhere::Operation::Delete;
    auto* layout = new QVBoxLayout(this);
    auto* intro
        = new QLabel(deleting ? say("While this record was open here, another workstation changed it:")
                              : say("While you were editing this record, another workstation stored other "
                                    "values in the same fields:"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    QStringList headers { say("Field"), say("Other workstation") };
    if (!deleting)
        headers << say("This workstation");
    auto* table
        = new QTableWidget(static_cast<int>(conflict.fields().size()), static_cast<int>(headers.size()));
    table->setObjectName(QStringLiteral("ConflictFields"));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    int row = 0;
    for (const db::ChangedElsewhere::FieldChange& change : conflict.fields()) {
        table->setItem(row, 0, new QTableWidgetItem(fieldLabel(change.label)));
        table->setItem(row, 1, new QTableWidgetItem(shown(change.theirs)));
        if (!deleting)
            table->setItem(row, 2, new QTableWidgetItem(shown(change.ours)));
        ++row;
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->resizeRowsToContents();
    layout->addWidget(table);

    m_buttons = new QDialogButtonBox(Qt::Horizontal);
    if (deleting) {
        addChoice("Delete it all the same", "DeleteAnywayBtn", Choice::KeepOurs);
        addChoice("Do not delete", "KeepRecordBtn", Choice::KeepTheirs, true);
    } else {
        addChoice("Keep their values", "KeepTheirsBtn", Choice::KeepTheirs);
        addChoice("Store my values", "KeepOursBtn", Choice::KeepOurs);
        addChoice("Go on editing", "GoOnEditingBtn", Choice::GoOnEditing, true);
    }
    layout->addWidget(m_buttons);
    resize(560, 200 + 28 * row);
}

void ConflictDialog::addChoice(const char* text, const char* name, Choice choice, bool isDefault)
{
    QPushButton* button = m_buttons->addButton(say(text), QDialogButtonBox::ActionRole);
    button->setObjectName(QString::fromLatin1(name));
    button->setDefault(isDefault);
    connect(button, &QPushButton::clicked, this, [this, choice] {
        m_choice = choice;
        accept();
    });
}

Choice ConflictDialog::ask(const db::ChangedElsewhere& conflict)
{
    ConflictDialog dialog(conflict, QApplication::activeWindow());
    dialog.exec();
    return dialog.choice();
}

} // namespace widgets
