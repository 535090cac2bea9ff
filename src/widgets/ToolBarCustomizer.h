#pragma once

#include <QDialog>
#include <QList>
#include <QSize>
#include <QStringList>

#include <functional>

class QAction;
class QDialogButtonBox;
class QListWidget;
class QPushButton;
class QToolBar;

namespace widgets {

// The items a user may choose for a tool bar, in their designed order. The bar shows the chosen
// items in the chosen order, ahead of what is not an item (separators, embedded controls),
// which stays where it was designed. Items are known by their object names.
class ToolBarItems {
public:
    // Called for each item's button after it is (re)made: the bar makes new buttons on a move.
    using Dress = std::function<void(QAction* item, QWidget* button)>;

    ToolBarItems(QToolBar* bar, QList<QAction*> items, Dress dress = {});

    const QList<QAction*>& items() const { return m_items; }
    QStringList designed() const;
    QStringList shown() const;
    // Unknown names are skipped, so that a layout stored by another version still applies; an
    // empty list leaves the designed layout.
    void show(const QStringList& names);

    // Stored as names separated by commas.
    static QString text(const QStringList& names) { return names.join(QLatin1Char(',')); }
    static QStringList names(const QString& text);

private:
    QAction* find(const QString& name) const;

    QToolBar* m_bar;
    QList<QAction*> m_items;
    Dress m_dress;
};

// The customisation dialog: the items not shown on the left, the shown ones on the right in
// their order; add, remove, move up and down, back to the designed layout.
class TToolBarCustomizeForm : public QDialog {
    Q_OBJECT
public:
    TToolBarCustomizeForm(const ToolBarItems& items, QWidget* parent = nullptr);

    QStringList shown() const;

    QListWidget* AvailableList;
    QListWidget* ShownList;
    QPushButton* AddBtn;
    QPushButton* RemoveBtn;
    QPushButton* UpBtn;
    QPushButton* DownBtn;
    QPushButton* ResetBtn;
    QDialogButtonBox* Buttons;

private:
    void fill(const QStringList& shown);
    void add();
    void remove();
    void move(int by);
    void updateButtons();

    const ToolBarItems& m_items;
};

// Runs the dialog over `items` and applies the choice; true when the user chose OK.
bool customizeToolBar(ToolBarItems& items, QWidget* parent);

} // namespace widgets
