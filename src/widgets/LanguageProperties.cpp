#include "widgets/LanguageProperties.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace widgets::languageProperties {
namespace {

using Kind = TranslatedProperty::Kind;

// A text property of objects of type T, through its getter and setter.
template<typename T, typename Get, typename Set> TranslatedProperty text(Get get, Set set)
{
    return { Kind::Text, [get](const QObject* o) { return (static_cast<const T*>(o)->*get)(); },
        [set](QObject* o, const QVariant& v) { (static_cast<T*>(o)->*set)(v.toString()); } };
}

TranslatedProperty list(
    std::function<QStringList(const QObject*)> get, std::function<void(QObject*, const QStringList&)> set)
{
    return { Kind::List, [get](const QObject* o) { return get(o).join(u'\n'); },
        [set](QObject* o, const QVariant& v) { set(o, v.toStringList()); } };
}

// The tab widget that shows `w` as one of its pages.
QTabWidget* tabWidgetOf(QWidget* w)
{
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs && tabs->indexOf(w) >= 0 ? tabs : nullptr;
}

std::optional<TranslatedProperty> caption(QObject* o)
{
    if (qobject_cast<QAction*>(o))
        return text<QAction>(&QAction::text, &QAction::setText);
    if (qobject_cast<QMenu*>(o))
        return text<QMenu>(&QMenu::title, &QMenu::setTitle);
    if (qobject_cast<QAbstractButton*>(o))
        return text<QAbstractButton>(&QAbstractButton::text, &QAbstractButton::setText);
    if (qobject_cast<QLabel*>(o))
        return text<QLabel>(&QLabel::text, &QLabel::setText);
    if (qobject_cast<QGroupBox*>(o))
        return text<QGroupBox>(&QGroupBox::title, &QGroupBox::setTitle);
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        return std::nullopt;
    if (tabWidgetOf(w)) {
        const auto page
            = [](const QObject* p) { return const_cast<QWidget*>(static_cast<const QWidget*>(p)); };
        return TranslatedProperty { Kind::Text,
            [page](const QObject* p) {
                return tabWidgetOf(page(p))->tabText(tabWidgetOf(page(p))->indexOf(page(p)));
            },
            [page](QObject* p, const QVariant& v) {
                QTabWidget* tabs = tabWidgetOf(page(p));
                tabs->setTabText(tabs->indexOf(page(p)), v.toString());
            } };
    }
    // A form: its own window, or the frame of a child window, shows this title.
    return text<QWidget>(&QWidget::windowTitle, &QWidget::setWindowTitle);
}

// "short|long": the tool tip takes the part before the bar, the status tip the part after it;
// without a bar both take the whole text.
void setHint(QObject* o, const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    const QString shortHint = bar < 0 ? hint : hint.left(bar);
    const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setToolTip(shortHint);
        a->setStatusTip(longHint);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        w->setToolTip(shortHint);
        w->setStatusTip(longHint);
    }
}

std::optional<TranslatedProperty> hint(QObject* o)
{
    if (!qobject_cast<QAction*>(o) && !qobject_cast<QWidget*>(o))
        return std::nullopt;
    return TranslatedProperty { Kind::Text,
        [](const QObject* p) {
            if (auto* a = qobject_cast<const QAction*>(p))
                return a->toolTip();
            return static_cast<const QWidget*>(p)->toolTip();
        },
        [](QObject* p, const QVariant& v) { setHint(p, v.toString()); } };
}

std::optional<TranslatedProperty> buttonCaption(QObject* o)
{
    if (qobject_cast<QAction*>(o)) // the text under a tool bar button's icon
        return text<QAction>(&QAction::iconText, &QAction::setIconText);
    if (qobject_cast<QAbstractButton*>(o))
        return text<QAbstractButton>(&QAbstractButton::text, &QAbstractButton::setText);
    return std::nullopt;
}

// Makes a model-like list exactly `items` long, keeping the data and selection of the
// entries that stay.
template<typename Count, typename SetText, typename Insert, typename Remove>
void replaceItems(const QStringList& items, Count count, SetText setText, Insert insert, Remove remove)
{
    for (int i = 0; i < items.size(); ++i) {
        if (i < count())
            setText(i, items[i]);
        else
            insert(i, items[i]);
    }
    while (count() > items.size())
        remove(count() - 1);
}

QList<QRadioButton*> radioButtonsOf(const QObject* o)
{
    return o->findChildren<QRadioButton*>();
}

std::optional<TranslatedProperty> items(QObject* o)
{
    if (qobject_cast<QComboBox*>(o)) {
        return list(
            [](const QObject* p) {
                auto* c = static_cast<const QComboBox*>(p);
                QStringList texts;
                for (int i = 0; i < c->count(); ++i)
                    texts.append(c->itemText(i));
                return texts;
            },
            [](QObject* p, const QStringList& texts) {
                auto* c = static_cast<QComboBox*>(p);
                replaceItems(
                    texts, [c] { return c->count(); }, [c](int i, const QString& t) { c->setItemText(i, t); },
                    [c](int i, const QString& t) { c->insertItem(i, t); }, [c](int i) { c->removeItem(i); });
            });
    }
    if (qobject_cast<QListWidget*>(o)) {
        return list(
            [](const QObject* p) {
                auto* l = static_cast<const QListWidget*>(p);
                QStringList texts;
                for (int i = 0; i < l->count(); ++i)
                    texts.append(l->item(i)->text());
                return texts;
            },
            [](QObject* p, const QStringList& texts) {
                auto* l = static_cast<QListWidget*>(p);
                replaceItems(
                    texts, [l] { return l->count(); },
                    [l](int i, const QString& t) { l->item(i)->setText(t); },
                    [l](int i, const QString& t) { l->insertItem(i, t); },
                    [l](int i) { delete l->takeItem(i); });
            });
    }
    if (qobject_cast<QWidget*>(o) && !radioButtonsOf(o).isEmpty()) {
        // A radio group: its buttons in creation order take the items.
        return list(
            [](const QObject* p) {
                QStringList texts;
                for (const QRadioButton* b : radioButtonsOf(p))
                    texts.append(b->text());
                return texts;
            },
            [](QObject* p, const QStringList& texts) {
                const QList<QRadioButton*> buttons = radioButtonsOf(p);
                for (qsizetype i = 0; i < buttons.size() && i < texts.size(); ++i)
                    buttons[i]->setText(texts[i]);
            });
    }
    return std::nullopt;
}

// Tab texts; tabs are tied to pages, so a value with more items than tabs ignores the rest.
template<typename Tabs> TranslatedProperty tabTexts()
{
    return list(
        [](const QObject* p) {
            auto* t = static_cast<const Tabs*>(p);
            QStringList texts;
            for (int i = 0; i < t->count(); ++i)
                texts.append(t->tabText(i));
            return texts;
        },
        [](QObject* p, const QStringList& texts) {
            auto* t = static_cast<Tabs*>(p);
            for (int i = 0; i < t->count() && i < texts.size(); ++i)
                t->setTabText(i, texts[i]);
        });
}

std::optional<TranslatedProperty> tabs(QObject* o)
{
    if (qobject_cast<QTabWidget*>(o))
        return tabTexts<QTabWidget>();
    if (qobject_cast<QTabBar*>(o))
        return tabTexts<QTabBar>();
    return std::nullopt;
}

std::optional<TranslatedProperty> lines(QObject* o)
{
    const auto joined = [](const QStringList& l) { return l.join(u'\n'); };
    if (qobject_cast<QPlainTextEdit*>(o)) {
        return list(
            [](const QObject* p) {
                return static_cast<const QPlainTextEdit*>(p)->toPlainText().split(u'\n');
            },
            [joined](QObject* p, const QStringList& l) {
                static_cast<QPlainTextEdit*>(p)->setPlainText(joined(l));
            });
    }
    if (qobject_cast<QTextEdit*>(o)) {
        return list(
            [](const QObject* p) { return static_cast<const QTextEdit*>(p)->toPlainText().split(u'\n'); },
            [joined](
                QObject* p, const QStringList& l) { static_cast<QTextEdit*>(p)->setPlainText(joined(l)); });
    }
    if (qobject_cast<QLabel*>(o)) {
        return list([](const QObject* p) { return static_cast<const QLabel*>(p)->text().split(u'\n'); },
            [joined](QObject* p, const QStringList& l) { static_cast<QLabel*>(p)->setText(joined(l)); });
    }
    return std::nullopt;
}

} // namespace

std::optional<TranslatedProperty> metaProperty(QObject* object, const QString& name)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isWritable() || name.compare(QLatin1String(p.name()), Qt::CaseInsensitive) != 0)
            continue;
        Kind kind;
        switch (p.metaType().id()) {
        case QMetaType::QString:
            kind = Kind::Text;
            break;
        case QMetaType::Int:
            kind = Kind::Integer;
            break;
        case QMetaType::QStringList:
            kind = Kind::List;
            break;
        default:
            return std::nullopt;
        }
        const QByteArray propertyName = p.name();
        return TranslatedProperty { kind,
            [propertyName, kind](const QObject* o) {
                const QVariant v = o->property(propertyName.constData());
                return kind == Kind::List ? v.toStringList().join(u'\n') : v.toString();
            },
            [propertyName](QObject* o, const QVariant& v) { o->setProperty(propertyName.constData(), v); } };
    }
    return std::nullopt;
}

std::optional<TranslatedProperty> builtIn(QObject* object, const QString& name)
{
    using Resolver = std::optional<TranslatedProperty> (*)(QObject*);
    static const std::pair<QLatin1String, Resolver> table[] = {
        { QLatin1String("Caption"), caption },
        { QLatin1String("Hint"), hint },
        { QLatin1String("BtnCaption"), buttonCaption },
        { QLatin1String("Items"), items },
        { QLatin1String("Tabs"), tabs },
        { QLatin1String("Lines"), lines },
    };
    for (const auto& [known, resolver] : table) {
        if (name.compare(known, Qt::CaseInsensitive) == 0)
            return resolver(object);
    }
    return std::nullopt;
}

} // namespace widgets::languageProperties
