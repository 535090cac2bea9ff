#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QPoint>
#include <QVariant>

#include <optional>

namespace clinical {

// The record of one tooth in a session that the chart's pop-up edits ("Notes", "Coloring"):
// the row of (session, tooth) is found and put into edit, or started; OK stores it, or removes
// it when nothing is left in it; Cancel drops the edit. Without a current patient the window
// only shows.
class TToothRecordForm : public QDialog {
    Q_OBJECT
public:
    // Runs the window modally on the tooth of the session (the current session of the sessions
    // view when empty); `at` is the window's place on the screen. The dialog's result.
    int editTooth(const QVariant& sessionId, int tooth, std::optional<QPoint> at = {});
    // The steps before the window runs: caption, place, the row found or started.
    void prepare(const QVariant& sessionId, int tooth, std::optional<QPoint> at = {});
    int tooth() const { return m_tooth; }
    // OK: the row stored, or removed when empty; Cancel: the edit dropped.
    void accept() override;
    void reject() override;

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

protected:
    TToothRecordForm(data::TDmForm& dm, db::Dataset& view, const QString& captionText, QWidget* parent);
    // The row holds nothing worth keeping.
    virtual bool isEmptyRecord() const = 0;
    // Last touches to the row before it is posted.
    virtual void completeRecord() { }
    QWidget* buttonRow();
    db::Dataset& view() const { return m_view; }
    data::TDmForm& dm() const { return m_dm; }

private:
    bool hasPatient() const;
    void removeStoredRow();

    data::TDmForm& m_dm;
    db::Dataset& m_view;
    QString m_captionText;
    int m_tooth = 0;
};

} // namespace clinical
