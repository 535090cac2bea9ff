#pragma once

#include "data/AuditTrail.h"
#include "widgets/Forward.h"

#include <QWidget>

namespace audit {

// The audit trail, filtered by patient, user, table and dates, newest first; printed or written
// to a CSV file.
class TAuditTrailForm : public QWidget {
    Q_OBJECT
public:
    enum Column { ChangedAt, User, Workstation, Table, Row, Patient, Action, Changes, ColumnCount };

    explicit TAuditTrailForm(data::TDmForm& dm, QWidget* parent = nullptr);

    QLineEdit* PatientEdit;
    QLineEdit* UserEdit;
    QComboBox* TableCombo;
    QDateEdit* FromDate;
    QDateEdit* ToDate;
    QPushButton* ShowBtn;
    QPushButton* PrintBtn;
    QPushButton* ExportBtn;
    QTableWidget* Grid;
    widgets::TLanguage* Lang;

    data::AuditTrail::Filter filter() const;
    void ShowBtnClick();
    void PrintBtnClick();
    // Writes the shown entries to `file`; false (and the user told) when it cannot be written.
    bool exportTo(const QString& file);
    const QList<data::AuditTrail::Entry>& entries() const { return m_entries; }

private:
    QString actionText(QChar action) const;

    data::TDmForm& m_dm;
    QList<data::AuditTrail::Entry> m_entries;
};

} // namespace audit
