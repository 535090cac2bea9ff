#include "images/SlideShowUnit.h"
#include "widgets/WindowDesign.h"

#include "data/ClinicalArea.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "images/ImagingLink.h"
#include "widgets/Language.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace images {

TSlideShowForm::TSlideShowForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    widgets::designWindow(*this, "SlideShowForm", QStringLiteral("SlideShow"), { 640, 480 });
    auto* cells = new QGridLayout;
    for (int k = 0; k < PageSize; ++k) {
        Cells[k] = new ImageCell(ImageCell::CaptionPlace::Above, this);
        Cells[k]->setObjectName(QStringLiteral("Cell%1").arg(k));
        Cells[k]->setMarkColors(Qt::white, Qt::cyan);
        connect(Cells[k], &ImageCell::clicked, this, [this, k] { CellClick(k); });
        cells->addWidget(Cells[k], k / 3, k % 3);
    }
    for (int row = 0; row < 2; ++row)
        cells->setRowStretch(row, 1);
    for (int column = 0; column < 3; ++column)
        cells->setColumnStretch(column, 1);
    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    PrevBtn = button("PrevBtn", "Previous");
    NextBtn = button("NextBtn", "Next");
    OpenBtn = button("OpenBtn", "Open");
    CancelBtn = button("CancelBtn", "Cancel");
    connect(PrevBtn, &QPushButton::clicked, this, &TSlideShowForm::PrevBtnClick);
    connect(NextBtn, &QPushButton::clicked, this, &TSlideShowForm::NextBtnClick);
    connect(OpenBtn, &QPushButton::clicked, this, &TSlideShowForm::OpenBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PrevBtn);
    buttons->addWidget(NextBtn);
    buttons->addStretch();
    buttons->addWidget(OpenBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cells, 1);
    layout->addLayout(buttons);
    Lang = new widgets::TLanguage(this,
        { QStringLiteral("SlideShowForm.Caption"), QStringLiteral("SlideShowForm.PrevBtn.Caption"),
            QStringLiteral("SlideShowForm.NextBtn.Caption"), QStringLiteral("SlideShowForm.OpenBtn.Caption"),
            QStringLiteral("SlideShowForm.CancelBtn.Caption") });
    Lang->Translate();
}

QString TSlideShowForm::filePath(const QString& name) const
{
    return QDir(m_dm.patients().xRayFolder()).filePath(name);
}

void TSlideShowForm::FormActivate()
{
    if (const data::ChartContext* chart = m_dm.clinical().chart())
        m_tooth = chart->selectedTooth();
    // The images of the session in table order; the current row stays where it is.
    m_images.clear();
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    if (photos.isActive()) {
        const int name = photos.field(u"PhotoName").index();
        const int tooth = photos.field(u"ToothNumber").index();
        for (int r = 0; r < photos.recordCount(); ++r)
            m_images.append({ photos.rowValue(r, name).toString(), photos.rowValue(r, tooth).toInt() });
    }
    m_toothList.clear();
    for (int i = 0; i < m_images.size(); ++i) {
        if (m_images[i].tooth == m_tooth)
            m_toothList.append({ m_images[i].fileName, i });
    }
    m_page = 0;
    PrevBtn->setEnabled(false);
    NextBtn->setEnabled(m_toothList.size() > PageSize);
    ShowPage();
}

void TSlideShowForm::ShowPage()
{
    QList<ImageCell::File> files;
    for (int index = PageSize * m_page; index < m_toothList.size() && files.size() < PageSize; ++index)
        files.append({ filePath(m_toothList[index].fileName), m_toothList[index].fileName });
    ImageCell::showFiles(QList<ImageCell*>(std::begin(Cells), std::end(Cells)), files);
    for (int k = 0; k < PageSize; ++k) {
        const bool shown = k < files.size();
        Cells[k]->setVisible(shown);
        if (shown)
            Cells[k]->setMarked(m_marks.contains(m_toothList[PageSize * m_page + k].position));
    }
}

void TSlideShowForm::PrevBtnClick()
{
    if (m_page > 0) {
        --m_page;
        NextBtn->setEnabled(true);
    }
    PrevBtn->setEnabled(m_page > 0);
    ShowPage();
}

void TSlideShowForm::NextBtnClick()
{
    if (PageSize * (m_page + 1) < m_toothList.size()) {
        ++m_page;
        PrevBtn->setEnabled(true);
    }
    NextBtn->setEnabled(PageSize * (m_page + 1) < m_toothList.size());
    ShowPage();
}

void TSlideShowForm::CellClick(int cell)
{
    const int index = PageSize * m_page + cell;
    if (index >= m_toothList.size())
        return;
    const int position = m_toothList[index].position;
    if (!m_marks.remove(position))
        m_marks.insert(position);
    Cells[cell]->setMarked(m_marks.contains(position));
}

void TSlideShowForm::OpenBtnClick()
{
    QStringList files;
    for (int i = 0; i < m_images.size(); ++i) {
        if (m_marks.contains(i))
            files << filePath(m_images[i].fileName);
    }
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    const QString name = patients.isActive() && !patients.isEmpty()
        ? patients.value(u"FirstName").toString() + QLatin1Char(' ') + patients.value(u"LastName").toString()
        : QString();
    ImagingRequests requests([this](const QString& text) { return Lang->Message(text); },
        QString::fromLatin1(kParametersErrorSlideShow));
    if (requests.show(files, m_dm.patients().xRayFolder(), name))
        m_marks.clear();
    ShowPage();
}

void TSlideShowForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) // restored from minimised: nothing new
        return;
    FormActivate();
    setWindowTitle(windowTitle() + QLatin1Char(' ') + QString::number(m_tooth));
}

void TSlideShowForm::hideEvent(QHideEvent* e)
{
    if (!e->spontaneous()) {
        const int blank = windowTitle().lastIndexOf(QLatin1Char(' '));
        if (blank >= 0)
            setWindowTitle(windowTitle().left(blank));
    }
    QDialog::hideEvent(e);
}

bool TSlideShowForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && isVisible() && !e->spontaneous())
        FormActivate();
    return QDialog::event(e);
}

} // namespace images
