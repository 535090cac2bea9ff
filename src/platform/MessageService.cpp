#include "platform/MessageService.h"

#include "platform/ExceptionLog.h"

#include <QDebug>

namespace platform {
namespace {

// Nobody to show a message to: it goes to stderr, and a question the program answers on its
// own also goes to the exceptions log, where the decision can be found afterwards.
class UnshownMessages final : public MessageService {
public:
    Answer show(Kind kind, const QString& caption, const QString& text) override
    {
        const Answer answer = safeAnswer(kind);
        qWarning().noquote() << "Message not shown:" << (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
        if (kind == Kind::Question || kind == Kind::QuestionWithCancel)
            exceptionLog::logException(QStringLiteral("Question not shown, answered %1: %2")
                                           .arg(answer == Answer::No ? QStringLiteral("No") : QStringLiteral("Cancel"), text));
        return answer;
    }
};

std::unique_ptr<MessageService>& installed()
{
    static std::unique_ptr<MessageService> service;
    return service;
}

std::unique_ptr<MessageService>& fallback()
{
    static std::unique_ptr<MessageService> service;
    return service;
}

} // namespace

MessageService& MessageService::current()
{
    static UnshownMessages unshown;
    if (auto& service = installed())
        return *service;
    if (auto& service = fallback())
        return *service;
    return unshown;
}

std::unique_ptr<MessageService> MessageService::install(std::unique_ptr<MessageService> service)
{
    std::swap(installed(), service);
    return service;
}

void MessageService::setDefault(std::unique_ptr<MessageService> service)
{
    fallback() = std::move(service);
}

MessageService::Answer safeAnswer(MessageService::Kind kind)
{
    switch (kind) {
    case MessageService::Kind::Question:
        return MessageService::Answer::No;
    case MessageService::Kind::QuestionWithCancel:
        return MessageService::Answer::Cancel;
    case MessageService::Kind::Information:
    case MessageService::Kind::Warning:
    case MessageService::Kind::Error:
        break;
    }
    return MessageService::Answer::Ok;
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

} // namespace platform
