#pragma once

#include "platform/MessageService.h"

#include <QList>
#include <QString>

#include <memory>

namespace testsupport {

// Takes the place of the message boxes while it lives: records every message and answers
// questions from a queue (Yes when the queue is empty).
class MessageRecorder {
public:
    struct Shown {
        platform::MessageService::Kind kind;
        QString caption;
        QString text;
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void answer(platform::MessageService::Answer next) { m_answers.append(next); }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    class Service;
    QList<Shown> m_shown;
    QList<platform::MessageService::Answer> m_answers;
    std::unique_ptr<platform::MessageService> m_previous;
};

} // namespace testsupport
