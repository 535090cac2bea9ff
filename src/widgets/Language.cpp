#include "widgets/Language.h"

#include "widgets/LanguageProperties.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QQueue>
#include <QWidget>

#include <stdexcept>

namespace widgets {
namespace {

struct Registered {
    QString name;
    PropertyResolver resolver;
};

QList<Registered>& registry()
{
    static QList<Registered> entries;
    return entries;
}

bool sameName(const QObject* o, const QString& name)
{
    return o->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

TLanguage::TLanguage(QObject* owner, QStringList properties)
    : QObject(owner)
    , m_properties(std::move(properties))
{
    setObjectName(QStringLiteral("Lang"));
}

void TLanguage::setSeparator(const QString& separator)
{
    m_separator = separator.trimmed().isEmpty() ? QStringLiteral(",") : separator;
}

void TLanguage::registerProperty(const QString& name, PropertyResolver resolver)
{
    registry().append({ name, std::move(resolver) });
}

std::optional<TranslatedProperty> TLanguage::findProperty(QObject* object, const QString& name)
{
    const QList<Registered>& entries = registry();
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        if (it->name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (auto property = it->resolver(object))
            return property;
    }
    if (auto property = languageProperties::metaProperty(object, name))
        return property;
    return languageProperties::builtIn(object, name);
}

QStringList TLanguage::splitList(const QString& value, const QString& separator)
{
    QStringList pieces = value.split(separator);
    for (QString& piece : pieces)
        piece = piece.trimmed();
    if (pieces.back().isEmpty())
        pieces.removeLast();
    return pieces;
}

void TLanguage::Translate()
{
    Q_EMIT beforeTranslation();
    for (const QString& line : std::as_const(m_properties)) {
        if (line.trimmed().isEmpty())
            continue;
        apply(line, m_texts.file().readString(QString::fromLatin1(kTranslations), line));
    }
    Q_EMIT afterTranslation();
}

void TLanguage::apply(const QString& path, const QString& value)
{
    QString propertyName;
    QObject* object = resolve(path, &propertyName);
    if (!object || value.isEmpty())
        return;
    const std::optional<TranslatedProperty> property = findProperty(object, propertyName);
    if (!property)
        return;
    QString newValue = value;
    if (onTranslate)
        onTranslate(object, propertyName, property->read(object), newValue);
    switch (property->kind) {
    case TranslatedProperty::Kind::Text:
        property->write(object, newValue);
        break;
    case TranslatedProperty::Kind::Integer: {
        bool ok = false;
        const int number = newValue.trimmed().toInt(&ok, 10);
        if (!ok)
            throw std::invalid_argument(
                QStringLiteral("'%1' is not a valid integer value").arg(newValue).toStdString());
        property->write(object, number);
        break;
    }
    case TranslatedProperty::Kind::List:
        property->write(object, splitList(newValue, m_separator));
        break;
    }
}

QObject* TLanguage::resolve(const QString& path, QString* propertyName) const
{
    QString rest = path.trimmed();
    QObject* current = qApp;
    qsizetype dot;
    while ((dot = rest.indexOf(u'.')) >= 0) {
        const QString name = rest.left(dot).trimmed();
        rest = rest.mid(dot + 1);
        if (current)
            current = findOwned(current, name);
    }
    *propertyName = rest.trimmed();
    return current;
}

// The nearest object below `owner` with that name. Below the application object the windows
// are searched too, as windows are not its children. A window still being built may not have
// been placed in its frame yet: the ancestors of this component then stand in for it.
QObject* TLanguage::findOwned(QObject* owner, const QString& name) const
{
    QQueue<QObject*> queue;
    if (owner == qApp) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (sameName(window, name))
                return window;
        }
    }
    queue.enqueue(owner);
    while (!queue.isEmpty()) {
        for (QObject* child : queue.dequeue()->children()) {
            if (sameName(child, name))
                return child;
            queue.enqueue(child);
        }
    }
    for (QObject* ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
        if (sameName(ancestor, name))
            return ancestor;
    }
    // A frame that is not there ("MainForm" of a window shown on its own, a printout's
    // preview): the path goes on among the windows, so the window reads as in the frame.
    return owner == qApp ? qApp : nullptr;
}

void translateByMessages(QWidget& window)
{
    const platform::MessageTexts& texts = platform::MessageTexts::program();
    window.setWindowTitle(texts.Message(window.windowTitle()));
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty())
            w->setToolTip(texts.Message(w->toolTip()));
        if (auto* label = qobject_cast<QLabel*>(w); label && !Qt::mightBeRichText(label->text()))
            label->setText(texts.Message(label->text()));
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(texts.Message(button->text()));
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            box->setTitle(texts.Message(box->title()));
    }
}

} // namespace widgets
