#include "widgets/MessageBoxes.h"

#include "platform/MessageService.h"
#include "platform/MessageTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace widgets {

namespace {
QString& defaultCaption()
{
    static QString caption = QStringLiteral("Quarn");
    return caption;
}
} // namespace

void setMessageCaption(const QString& caption)
{
    defaultCaption() = caption;
}
namespace {

class BoxService final : public platform::MessageService {
public:
    Answer show(Kind kind, const QString& caption, const QString& text) override
    {
        switch (kind) {
        case Kind::Information:
            ask(QMessageBox::Information, caption, text, QMessageBox::Ok);
            return Answer::Ok;
        case Kind::Warning:
            ask(QMessageBox::Warning, caption, text, QMessageBox::Ok);
            return Answer::Ok;
        case Kind::Error:
            ask(QMessageBox::Critical, caption, text, QMessageBox::Ok);
            return Answer::Ok;
        case Kind::Question:
            return ask(QMessageBox::Information, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
                ? Answer::Yes
                : Answer::No;
        case Kind::QuestionWithCancel:
            switch (ask(QMessageBox::Information, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
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

private:
    // The buttons speak the language of the texts: Qt brings no Greek of its own.
    QMessageBox::StandardButton ask(
        QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons) const
    {
        QMessageBox box(icon, caption.isEmpty() ? defaultCaption() : caption, text, buttons,
            QApplication::activeWindow());
        box.setDefaultButton(buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok);
        const std::pair<QMessageBox::StandardButton, const char*> captions[] {
            { QMessageBox::Yes, "Yes" }, { QMessageBox::No, "No" }, { QMessageBox::Cancel, "Cancel" }, { QMessageBox::Ok, "OK" }
        };
        for (const auto& [button, english] : captions) {
            if (QAbstractButton* shown = box.button(button))
                shown->setText(m_texts.Message(QString::fromLatin1(english)));
        }
        return QMessageBox::StandardButton(box.exec());
    }

    platform::MessageTexts m_texts;
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
