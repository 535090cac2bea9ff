#include "widgets/DBDateEdit.h"

#include "platform/MessageTexts.h"

#include "db/Field.h"
#include "db/FieldFormat.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLocale>

namespace widgets {

DBDateEdit::DBDateEdit(QWidget* parent)
    : DBEdit(parent)
{
    QAction* calendar = addAction(QIcon::fromTheme(QStringLiteral("x-office-calendar")), QLineEdit::TrailingPosition);
    calendar->setText(QStringLiteral("..."));
    calendar->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Calendar")));
    connect(calendar, &QAction::triggered, this, &DBDateEdit::showCalendar);
}

QString DBDateEdit::userDateFormat()
{
    return db::fieldformat::defaultDatePattern();
}

QDate DBDateEdit::parseDate(const QString& text)
{
    const QString t = text.trimmed();
    const QString format = QStringLiteral("d/M/yyyy"); // what is shown, with or without leading zeros
    QDate date = QLocale().toDate(t, format);
    if (!date.isValid()) {
        // A two-digit year: 50-99 the 1900s, 00-49 the 2000s.
        date = QLocale().toDate(t, QString(format).replace(QStringLiteral("yyyy"), QStringLiteral("yy")));
        if (date.isValid() && date.year() < 1950)
            date = date.addYears(100);
    }
    return date;
}

QString DBDateEdit::textForDisplay() const
{
    const db::Field* f = dataLink()->field();
    if (f && !f->displayFormat().isEmpty())
        return f->displayText();
    return textForEditing();
}

QString DBDateEdit::textForEditing() const
{
    const QVariant value = dataLink()->value();
    return value.isNull() ? QString() : QLocale().toString(value.toDate(), userDateFormat());
}

QVariant DBDateEdit::valueOfText(const QString& text) const
{
    if (text.trimmed().isEmpty())
        return {};
    const QDate date = parseDate(text);
    return date.isValid() ? QVariant(date) : QVariant(text); // the field says what is wrong
}

void DBDateEdit::showCalendar()
{
    if (isReadOnly())
        return;
    auto* calendar = new QCalendarWidget(this);
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    const QDate current = parseDate(text());
    if (current.isValid())
        calendar->setSelectedDate(current);
    connect(calendar, &QCalendarWidget::activated, this, [this, calendar](const QDate& date) {
        enterText(QLocale().toString(date, userDateFormat()));
        calendar->close();
    });
    connect(calendar, &QCalendarWidget::clicked, calendar, &QCalendarWidget::activated);
    calendar->move(mapToGlobal(QPoint(0, height())));
    calendar->show();
}

} // namespace widgets
