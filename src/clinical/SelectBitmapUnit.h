#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QList>

namespace clinical {

class SymbolArt;
class TSymbolBrowser;

// The symbol chooser of the operations catalogue: eight symbols side by side, previewed on
// one tooth; "Previous" and "Next" page by eight; a double click chooses.
class TSelectBitmapForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int PageSize = 8;
    static constexpr int PreviewIndex = 2; // the tooth the symbols are shown on

    // `showTooth`: the current operation is transparent, so its symbols lie over the tooth.
    TSelectBitmapForm(const SymbolArt& art, bool showTooth, QWidget* parent = nullptr);
    ~TSelectBitmapForm() override;

    int start() const { return m_start; }
    // The identifier double-clicked, valid after the dialog ended with Ok.
    int selected() const { return m_selected; }
    // Chooses preview k of the page and closes with Ok, as a double click does.
    void choose(int k);

    QList<QLabel*> Previews;
    QPushButton* PrevBtn;
    QPushButton* NextBtn;
    QPushButton* CancelBtn;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(int start);

    const SymbolArt& m_art;
    QList<TSymbolBrowser*> m_browsers;
    bool m_showTooth;
    int m_start = 0;
    int m_selected = -1;
};

} // namespace clinical
