#include "clinical/SelectBitmapUnit.h"

#include "clinical/SymbolArt.h"
#include "clinical/SymbolBrowser.h"
#include "widgets/Language.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace clinical {

TSelectBitmapForm::TSelectBitmapForm(const SymbolArt& art, bool showTooth, QWidget* parent)
    : QDialog(parent)
    , PrevBtn(new QPushButton(QStringLiteral("Previous"), this))
    , NextBtn(new QPushButton(QStringLiteral("Next"), this))
    , CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
    , m_art(art)
    , m_showTooth(showTooth)
{
    setObjectName(QStringLiteral("SelectBitmapForm"));
    setWindowTitle(QStringLiteral("Select Bitmap (Double Click) "));
    PrevBtn->setObjectName(QStringLiteral("PrevBtn"));
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* previews = new QHBoxLayout;
    const QSize cell = TSymbolBrowser::CellSize(1, 1);
    for (int k = 0; k < PageSize; ++k) {
        auto* preview = new QLabel(this);
        preview->setObjectName(QStringLiteral("Image%1").arg(k + 1));
        preview->setFixedSize(cell);
        preview->setFrameStyle(QFrame::Box | QFrame::Plain);
        preview->installEventFilter(this);
        previews->addWidget(preview);
        Previews.append(preview);
        if (art.canPreview())
            m_browsers.append(new TSymbolBrowser(*art.library(), *art.pictures(), preview, 1, 1));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PrevBtn);
    buttons->addWidget(NextBtn);
    buttons->addStretch();
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(previews);
    layout->addLayout(buttons);

    auto* lang = new widgets::TLanguage(this,
        {QStringLiteral("SelectBitmapForm.Caption"), QStringLiteral("SelectBitmapForm.PrevBtn.Caption"),
            QStringLiteral("SelectBitmapForm.NextBtn.Caption"), QStringLiteral("SelectBitmapForm.CancelBtn.Caption")});
    lang->Translate();

    connect(PrevBtn, &QPushButton::clicked, this, [this] { showPage(m_start - PageSize); });
    connect(NextBtn, &QPushButton::clicked, this, [this] { showPage(m_start + PageSize); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    showPage(0); // always from the first symbols, whatever the operation has now
}

TSelectBitmapForm::~TSelectBitmapForm()
{
    qDeleteAll(m_browsers);
}

void TSelectBitmapForm::showPage(int start)
{
    m_start = qMax(0, start);
    PrevBtn->setEnabled(m_start > 0);
    // Further pages only while the library has symbols there; past them every preview would
    // repeat the library's first symbol.
    const TSymbolContainer* library = m_art.library();
    const bool more = library && library->count() > 0 && library->IdentifierAt(library->count() - 1) >= m_start + PageSize;
    NextBtn->setEnabled(more);
    for (int k = 0; k < m_browsers.size(); ++k)
        m_browsers[k]->Draw(m_start + k, PreviewIndex, false, m_showTooth);
    for (int k = 0; k < Previews.size(); ++k)
        Previews[k]->setToolTip(QString::number(m_start + k));
}

void TSelectBitmapForm::choose(int k)
{
    m_selected = m_start + k;
    accept();
}

bool TSelectBitmapForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        const int k = Previews.indexOf(static_cast<QLabel*>(watched));
        if (k >= 0) {
            choose(k);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace clinical
