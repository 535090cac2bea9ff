#include "widgets/MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace widgets {
namespace {

class BoxService final : public MessageService {
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

std::unique_ptr<MessageService>& installed()
{
    static std::unique_ptr<MessageService> service;
    return service;
}

} // namespace

MessageService& MessageService::current()
{
    static BoxService boxes;
    if (auto& service = installed())
        return *service;
    return boxes;
}

std::unique_ptr<MessageService> MessageService::install(std::unique_ptr<MessageService> service)
{
    std::swap(installed(), service);
    return service;
}

void showInformation(const QString& text, const QString& caption)
{
    MessageService::current().show(MessageService::Kind::Information, caption, text);
}

void showWarning(const QString& text, const QString& caption)
{
    MessageService::current().show(MessageService::Kind::Warning, caption, text);
}

void showError(const QString& text, const QString& caption)
{
    MessageService::current().show(MessageService::Kind::Error, caption, text);
}

bool askYesNo(const QString& text, const QString& caption)
{
    return MessageService::current().show(MessageService::Kind::Question, caption, text) == MessageService::Answer::Yes;
}

MessageService::Answer askYesNoCancel(const QString& text, const QString& caption)
{
    return MessageService::current().show(MessageService::Kind::QuestionWithCancel, caption, text);
}

} // namespace widgets
