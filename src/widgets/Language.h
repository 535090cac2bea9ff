#pragma once

#include "platform/MessageTexts.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

namespace widgets {

// One translatable property of one object: how to read it as text and how to set it.
struct TranslatedProperty {
    enum class Kind { Text, Integer, List };
    Kind kind = Kind::Text;
    std::function<QString(const QObject*)> read;
    // Receives a QString, an int or a QStringList according to `kind`.
    std::function<void(QObject*, const QVariant&)> write;
};

// Gives the property of `object` that a property name stands for, or nothing when this kind of
// object has no such property.
using PropertyResolver = std::function<std::optional<TranslatedProperty>(QObject* object)>;

// The translation component of a window (named "Lang"): replaces the designed English texts by
// those of the language file beside the program, and translates message texts on demand.
//
// Property paths are "Window.Component.Property": each name is looked up without regard to case
// among the objects below the previous one (the first among the application's windows), the
// last element names the property. The property names of the language file map onto Qt:
//   Caption     window title; text of buttons, labels and actions; title of group boxes and
//               menus; the tab text of a tab page
//   Hint        tool tip and status tip ("short|long" splits between the two)
//   BtnCaption  text of a tool bar action's button, or of a button
//   Items       combo box and list items, the radio buttons of a radio group
//   Tabs        texts of a tab bar or tab widget
//   Lines       text of a plain or rich text edit, one item per line
// Any other name is a Qt property of the same name (compared without case) holding a string,
// an integer or a string list, or a property that a later unit registers with
// registerProperty() (FieldAlias, UnitColumnCaption, Values, DisplayLabel …).
class TLanguage : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTranslations = "Translations";
    static constexpr const char* kMessages = platform::MessageTexts::kSection;

    explicit TLanguage(QObject* owner, QStringList properties = {});

    QString languageFile() const { return m_texts.languageFile(); }
    // Relative to the program directory.
    void setLanguageFile(const QString& fileName) { m_texts.setLanguageFile(fileName); }
    QStringList properties() const { return m_properties; }
    void setProperties(const QStringList& paths) { m_properties = paths; }
    QString separator() const { return m_separator; }
    void setSeparator(const QString& separator); // blank gives ","

    // Called for each property about to be set, with its current text; may change the value.
    std::function<void(
        QObject* component, const QString& property, const QString& oldValue, QString& newValue)>
        onTranslate;

    // One translation pass over properties(). Missing windows, components, properties, keys
    // and an absent language file leave the designed texts. Throws std::invalid_argument when
    // an integer property gets a value that is not a decimal integer.
    void Translate();
    // The translation of a message text, or the text itself.
    QString Message(const QString& text) const { return m_texts.Message(text); }
    // The message texts of the same language file, for those that translate without a window.
    const platform::MessageTexts& messageTexts() const { return m_texts; }

    // Makes a property name known for the objects the resolver accepts. Later registrations
    // are asked first, so a unit can refine a name for its own classes.
    static void registerProperty(const QString& name, PropertyResolver resolver);
    // The property `name` of `object` as registered, as a Qt property, or as built in.
    static std::optional<TranslatedProperty> findProperty(QObject* object, const QString& name);
    // A list value: pieces between separators, trimmed; a blank last piece is dropped.
    static QStringList splitList(const QString& value, const QString& separator);

Q_SIGNALS:
    void beforeTranslation();
    void afterTranslation();

private:
    void apply(const QString& path, const QString& value);
    QObject* resolve(const QString& path, QString* propertyName) const;
    QObject* findOwned(QObject* owner, const QString& name) const;

    QStringList m_properties;
    QString m_separator = QStringLiteral(",");
    platform::MessageTexts m_texts;
};

// For the small windows of the start that have no translation paths of their own: every
// caption, title and hint is looked up among the language file's messages by its English text.
void translateByMessages(QWidget& window);

} // namespace widgets
