#include "support/MessageRecorder.h"

namespace testsupport {

class MessageRecorder::Service final : public platform::MessageService {
public:
    explicit Service(MessageRecorder& owner)
        : m_owner(owner)
    {
    }
    Answer show(Kind kind, const QString& caption, const QString& text) override
    {
        m_owner.m_shown.append({ kind, caption, text });
        if (kind != Kind::Question && kind != Kind::QuestionWithCancel)
            return Answer::Ok;
        return m_owner.m_answers.isEmpty() ? Answer::Yes : m_owner.m_answers.takeFirst();
    }

private:
    MessageRecorder& m_owner;
};

MessageRecorder::MessageRecorder()
    : m_previous(platform::MessageService::install(std::make_unique<Service>(*this)))
{
}

MessageRecorder::~MessageRecorder()
{
    platform::MessageService::install(std::move(m_previous));
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const Shown& shown : m_shown)
        result.append(shown.text);
    return result;
}

} // namespace testsupport
