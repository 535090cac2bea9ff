#include "widgets/DBCalcEdit.h"

#include "platform/MessageTexts.h"

#include "widgets/Arithmetic.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

namespace widgets {
namespace {

// A pop-up of digit and operator keys over a line of its own; "=" works the line out, "OK"
// hands the result to the editor.
class CalculatorPopup : public QFrame {
public:
    CalculatorPopup(DBCalcEdit* editor)
        : QFrame(editor, Qt::Popup)
        , m_editor(editor)
        , m_line(new QLineEdit(editor->text(), this))
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameShape(QFrame::StyledPanel);
        auto* grid = new QGridLayout(this);
        grid->setSpacing(2);
        grid->addWidget(m_line, 0, 0, 1, 4);
        const QString decimal = QLocale().decimalPoint();
        const QStringList keys = {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("/"),
            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("*"),
            QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("-"),
            QStringLiteral("0"), decimal, QStringLiteral("="), QStringLiteral("+"),
            QStringLiteral("C"), QStringLiteral("("), QStringLiteral(")"), QStringLiteral("OK")};
        for (int i = 0; i < keys.size(); ++i) {
            auto* key = new QToolButton(this);
            key->setText(keys[i]);
            key->setMinimumSize(28, 24);
            key->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            grid->addWidget(key, 1 + i / 4, i % 4);
            connect(key, &QToolButton::clicked, this, [this, text = keys[i]] { press(text); });
        }
        connect(m_line, &QLineEdit::returnPressed, this, [this] { press(QStringLiteral("OK")); });
    }

private:
    void press(const QString& key)
    {
        if (key == QLatin1String("C")) {
            m_line->clear();
        } else if (key == QLatin1String("=") || key == QLatin1String("OK")) {
            const std::optional<double> value = evaluateArithmetic(m_line->text());
            if (value)
                m_line->setText(QLocale().toString(*value, 'g', 15));
            if (key == QLatin1String("OK") && (value || m_line->text().isEmpty())) {
                m_editor->enterText(m_line->text());
                close();
            }
        } else {
            m_line->insert(key);
        }
        m_line->setFocus();
    }

    DBCalcEdit* m_editor;
    QLineEdit* m_line;
};

} // namespace

DBCalcEdit::DBCalcEdit(QWidget* parent)
    : DBEdit(parent)
{
    QAction* calculator = addAction(QIcon::fromTheme(QStringLiteral("accessories-calculator")), QLineEdit::TrailingPosition);
    calculator->setText(QStringLiteral("..."));
    calculator->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Calculator")));
    connect(calculator, &QAction::triggered, this, &DBCalcEdit::showCalculator);
}

void DBCalcEdit::showCalculator()
{
    if (isReadOnly())
        return;
    auto* popup = new CalculatorPopup(this);
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

QVariant DBCalcEdit::valueOfText(const QString& text) const
{
    if (!looksLikeArithmetic(text))
        return text;
    const std::optional<double> value = evaluateArithmetic(text);
    return value ? QVariant(*value) : QVariant(text); // an unfinished sum: the field says why
}

} // namespace widgets
