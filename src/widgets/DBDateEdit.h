#pragma once

#include "widgets/DBEdit.h"

#include <QDate>

namespace widgets {

// A data-aware date editor: dates are typed in the user's short date format with the full
// year; an empty box stores no date. The button at its end opens a calendar.
class DBDateEdit : public DBEdit {
    Q_OBJECT
public:
    explicit DBDateEdit(QWidget* parent = nullptr);

    // The user's short date format with a four-digit year, in Qt's notation ("dd/MM/yyyy").
    static QString userDateFormat();
    // A date typed in the user's format (a two-digit year counts from 1950); invalid if not.
    static QDate parseDate(const QString& text);

    void showCalendar();

protected:
    QString textForDisplay() const override;
    QString textForEditing() const override;
    QVariant valueOfText(const QString& text) const override;
};

} // namespace widgets
