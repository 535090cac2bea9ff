#pragma once

#include <QString>

#include <memory>

namespace widgets {

// Every message box of the program goes through the current message service, so that tests
// can watch what the user would have been told and answer in the user's place.
class MessageService {
public:
    enum class Kind { Information, Warning, Error, Question, QuestionWithCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageService() = default;
    // Shows one box and returns the user's answer (Ok for the boxes without a question).
    virtual Answer show(Kind kind, const QString& caption, const QString& text) = 0;

    // The service in force; the default shows modal QMessageBoxes over the active window.
    static MessageService& current();
    // Installs `service` and gives back the previous one (nothing while the default is in force).
    static std::unique_ptr<MessageService> install(std::unique_ptr<MessageService> service);
};

// Texts are shown as given: callers pass them through their window's translation first.
void showInformation(const QString& text, const QString& caption = {});
void showWarning(const QString& text, const QString& caption = {});
void showError(const QString& text, const QString& caption = {});
// Yes/No with the information icon; true on Yes.
bool askYesNo(const QString& text, const QString& caption);
MessageService::Answer askYesNoCancel(const QString& text, const QString& caption);

} // namespace widgets
