#pragma once

#include "db/RuleChain.h"
#include "widgets/RecordWindow.h"

#include <QWidget>

class QPushButton;

namespace data {
class TDmForm;
}
namespace widgets {
class DBEdit;
class DBGrid;
class DBRichEdit;
class TLanguage;
} // namespace widgets

namespace clinical {

// The stock answers of the progress notes ("Usual Answers"): a name and a formatted text each,
// kept in a file beside the program and written at every post. The main window's record
// commands act on them (code 1002).
class TDefaultAnswersFrm : public QWidget, public widgets::RecordWindow {
    Q_OBJECT
public:
    static constexpr int FormCode = widgets::tagOf(widgets::WindowCode::UsualAnswers);

    explicit TDefaultAnswersFrm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TDefaultAnswersFrm() override;

    widgets::WindowCode windowCode() const override { return widgets::WindowCode::UsualAnswers; }
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
