#pragma once

#include <QString>

#include <memory>

namespace platform {

// Every message box of the program goes through the current message service, so that the
// layers below the windows can tell the user something without knowing how it is shown, and
// tests can watch what the user would have been told and answer in the user's place.
class MessageService {
public:
    enum class Kind { Information, Warning, Error, Question, QuestionWithCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageService() = default;
    // Shows one message and returns the user's answer (Ok for the messages without a question).
    virtual Answer show(Kind kind, const QString& caption, const QString& text) = 0;

    // The installed service, else the default one.
    static MessageService& current();
    // Installs `service` and gives back the previous one (nothing while the default was in force).
    static std::unique_ptr<MessageService> install(std::unique_ptr<MessageService> service);
    // The service in force when none is installed. The program sets its message boxes here at
    // start (widgets::useMessageBoxes()). Without one, or after setDefault(nullptr), nothing is
    // shown: each message is written to stderr, a question is also recorded in the exceptions
    // log, and the answer is safeAnswer(kind), so that nobody is ever answered Yes unseen.
    static void setDefault(std::unique_ptr<MessageService> service);
};

// The answer that changes nothing: No to a yes/no question, Cancel when cancelling is offered.
MessageService::Answer safeAnswer(MessageService::Kind kind);

// Texts are shown as given: callers pass them through their translation first.
void showInformation(const QString& text, const QString& caption = {});
void showWarning(const QString& text, const QString& caption = {});
void showError(const QString& text, const QString& caption = {});
// Yes/No with the information icon; true on Yes.
bool askYesNo(const QString& text, const QString& caption);
MessageService::Answer askYesNoCancel(const QString& text, const QString& caption);

} // namespace platform
