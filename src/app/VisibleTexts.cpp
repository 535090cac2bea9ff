#include "app/VisibleTexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QTextStream>
#include <QTreeView>

namespace app {
namespace {

QString pathOf(const QWidget& widget, const QWidget& window)
{
    QStringList names;
    for (const QWidget* w = &widget; w && w != &window; w = w->parentWidget()) {
        if (!w->objectName().isEmpty())
            names.prepend(w->objectName());
    }
    return names.isEmpty() ? QString::fromLatin1(widget.metaObject()->className()) : names.join(u'.');
}

// Rich text as it reads.
QString plain(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

void addHeaders(const QHeaderView* header, Qt::Orientation orientation, QStringList& texts, const QString& at)
{
    if (!header || header->isHidden() || !header->model())
        return;
    for (int section = 0; section < header->count(); ++section) {
        if (!header->isSectionHidden(section))
            texts.append(at + u'\t' + header->model()->headerData(section, orientation).toString());
    }
}

} // namespace

QStringList visibleTexts(const QWidget& window)
{
    QStringList texts;
    texts.append(QStringLiteral("windowTitle\t") + window.windowTitle());
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
        if (!w->isVisibleTo(&window))
            continue;
        const QString at = pathOf(*w, window);
        if (!w->toolTip().isEmpty())
            texts.append(at + QStringLiteral(".toolTip\t") + plain(w->toolTip()));
        if (const auto* label = qobject_cast<const QLabel*>(w))
            texts.append(at + u'\t' + plain(label->text()));
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            texts.append(at + u'\t' + button->text());
        else if (const auto* box = qobject_cast<const QGroupBox*>(w))
            texts.append(at + u'\t' + box->title());
        else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts.append(at + u'\t' + tabs->tabText(i));
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            if (!edit->placeholderText().isEmpty())
                texts.append(at + QStringLiteral(".placeholder\t") + edit->placeholderText());
        } else if (const auto* view = qobject_cast<const QTableView*>(w)) {
            addHeaders(view->horizontalHeader(), Qt::Horizontal, texts, at);
        } else if (const auto* tree = qobject_cast<const QTreeView*>(w)) {
            addHeaders(tree->header(), Qt::Horizontal, texts, at);
        }
    }
    texts.removeIf([](const QString& line) { return line.section(u'\t', 1).trimmed().isEmpty(); });
    return texts;
}

void recordVisibleTexts(const QWidget& window, const QString& outDir, const QString& picture)
{
    QFile file(QDir(outDir).filePath(QStringLiteral("texts.tsv")));
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&file);
    for (QString line : visibleTexts(window))
        out << picture << u'\t' << line.replace(u'\n', u' ') << u'\n';
}

} // namespace app
