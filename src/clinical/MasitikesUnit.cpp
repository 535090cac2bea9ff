#include "clinical/MasitikesUnit.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ToothGeometry.h"
#include "db/Dataset.h"
#include "platform/Directories.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"
#include "widgets/RegionImage.h"
#include "widgets/UserAction.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace clinical {
namespace {

QString surfaceName(int k)
{
    return QString(QChar(u'a' + k));
}

} // namespace

TMasitikesForm::TMasitikesForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , Image(new widgets::RegionImage(this))
    , SaveBtn(new QPushButton(QStringLiteral("Save"), this))
    , CloseBtn(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("MasitikesForm"));
    setWindowTitle(QStringLiteral("Μασητική"));
    Image->setObjectName(QStringLiteral("Image"));
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Image, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* lang = new widgets::TLanguage(this, {QStringLiteral("MasitikesForm.SaveBtn.Caption"), QStringLiteral("MasitikesForm.CloseBtn.Caption")});
    lang->Translate();

    connect(Image, &widgets::RegionImage::regionClicked, this, [this](int, const QString& name) {
        if (name.size() == 1)
            toggleSurface(name.at(0).unicode() - u'a');
    });
    connect(SaveBtn, &QPushButton::clicked, this, &TMasitikesForm::SaveBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QWidget::close);
}

void TMasitikesForm::setTooth(int toothNumber)
{
    setWindowTitle(QStringLiteral("Μασητική - Δόντι ") + QString::number(toothNumber));
}

void TMasitikesForm::setView(db::Dataset* history)
{
    m_view = history;
}

void TMasitikesForm::loadMask(const QVariant& id)
{
    const QVariant stored = m_view && m_view->isActive() ? m_view->lookup({QStringLiteral("ID")}, {id}, QStringLiteral("Masitikes")) : QVariant();
    setMask(stored.toInt());
}

void TMasitikesForm::setMask(int mask)
{
    m_mask = mask;
    paintMask();
}

void TMasitikesForm::toggleSurface(int k)
{
    if (k < 0 || k >= SurfaceCount)
        return;
    m_mask ^= 1 << k;
    paintMask();
}

void TMasitikesForm::paintMask()
{
    for (int k = 0; k < SurfaceCount; ++k)
        Image->fillRegion(surfaceName(k), (m_mask & (1 << k)) ? QColor(Qt::red) : QColor(Qt::white));
}

void TMasitikesForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    try {
        Image->loadPackage(platform::programFile(artwork::surfaceEditor()));
    } catch (const widgets::RegionPackageError& error) {
        platform::showError(error.message());
    }
    paintMask();
}

void TMasitikesForm::SaveBtnClick()
{
    // A refused row keeps the editor open on the surfaces chosen.
    const bool stored = widgets::runUserAction([this] {
        if (!m_view || !m_view->isActive() || m_view->isEmpty())
            return;
        if (!m_view->isEditing())
            m_view->edit();
        m_view->setValue(u"Masitikes", m_mask);
        m_view->post();
    });
    if (stored)
        close();
}

} // namespace clinical
