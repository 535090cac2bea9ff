#include "widgets/MessageBoxes.h"

#include "platform/MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace widgets {
namespace {

class BoxService final : public platform::MessageService {
public:
    Answer show(Kind kind, const QString& caption, const QString& text) override
    {
        QWidget* parent = QApplication::activeWindow();
        const QString title = caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
        switch (kind) {
        case Kind::Information:
            QMessageBox::information(parent, title, text);
            return Answer::Ok;
        case Kind::Warning:
            QMessageBox::warning(parent, title, text);
            return Answer::Ok;
        case Kind::Error:
            QMessageBox::critical(parent, title, text);
            return Answer::Ok;
        case Kind::Question:
            return QMessageBox::information(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
                    == QMessageBox::Yes
                ? Answer::Yes
                : Answer::No;
        case Kind::QuestionWithCancel:
            switch (QMessageBox::information(parent, title, text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Cancel;
            }
        }
        return Answer::Cancel;
    }
};

} // namespace

void useMessageBoxes()
{
    platform::MessageService::setDefault(std::make_unique<BoxService>());
}

void stopMessageBoxes()
{
    platform::MessageService::setDefault(nullptr);
}

} // namespace widgets
