#pragma once

#include "db/RuleChain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QWidget>

namespace widgets {
class DBRichEdit;
} // namespace widgets

namespace clinical {

// The stock answers of the progress notes ("Usual Answers"): a name and a formatted text each,
// kept in a file beside the program and written at every post. The main window's record
// commands act on them (code 1002).
class TDefaultAnswersFrm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::UsualAnswers> {
    Q_OBJECT
public:
    explicit TDefaultAnswersFrm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TDefaultAnswersFrm() override;

    db::DataSource* mainSource() const override;
    void prepareNew() override;

    widgets::DBGrid* AnswersGrid;
    widgets::DBEdit* NameEdit;
    widgets::DBRichEdit* AnswerEdit;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void followState();

    data::TDmForm& m_dm;
    bool m_shown = false;
    QList<QWidget*> m_editors;
    db::RuleGuard m_flushBeforePost;
};

} // namespace clinical
