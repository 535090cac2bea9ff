#include "clinical/EndoNotesUnit.h"
#include "widgets/WindowDesign.h"

#include "platform/MessageService.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace clinical {

TEndoNotesFrm::TEndoNotesFrm(db::DataSource* source, const QString& field, QWidget* parent)
    : QDialog(parent)
{
    widgets::designWindow(*this, "EndoNotesFrm", QStringLiteral("Notes"), { 340, 180 });
    NotesMemo = new widgets::DBMemo(this);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->bindTo(source, field);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TEndoNotesFrm::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NotesMemo, 1);
    layout->addLayout(buttons);
    Lang = new widgets::TLanguage(
        this, { QStringLiteral("EndoNotesFrm.Caption"), QStringLiteral("EndoNotesFrm.OKBtn.Caption") });
    Lang->Translate();
}

void TEndoNotesFrm::accept()
{
    if (NotesMemo->toPlainText().size() > kLength) {
        platform::showInformation(
            Lang->Message(QStringLiteral("The notes of a canal may hold up to %1 characters.")).arg(kLength));
        return;
    }
    QDialog::accept();
}

QIcon endoNotesIcon(bool hasNotes)
{
    QPixmap sheet(20, 22);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    p.setBrush(hasNotes ? QColor(0xff, 0xf4, 0xb0) : QColor(Qt::white));
    p.drawRect(QRectF(3.5, 1.5, 13, 19));
    if (hasNotes) {
        p.setPen(QPen(QColor(0x20, 0x40, 0xa0), 1.2));
        for (int y = 6; y <= 17; y += 3)
            p.drawLine(QPointF(6, y), QPointF(y == 17 ? 11 : 14, y));
    }
    return QIcon(sheet);
}

} // namespace clinical
