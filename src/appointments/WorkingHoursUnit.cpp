#include "appointments/WorkingHoursUnit.h"

#include "widgets/Language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace appointments {

TWorkingHoursForm::TWorkingHoursForm(
    int slotCount, int slotMinutes, const data::timeslots::SlotSet& current, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("WorkingHoursForm"));
    setWindowTitle(QStringLiteral("Working hours "));
    auto* prompt = new QLabel(QStringLiteral("Choose your working hours: "), this);
    prompt->setObjectName(QStringLiteral("ChooseLabel"));
    SlotList = new QListWidget(this);
    SlotList->setObjectName(QStringLiteral("SlotList"));
    SlotList->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int slot = 1; slot <= slotCount; ++slot) {
        auto* item = new QListWidgetItem(data::timeslots::label(slot, slotMinutes), SlotList);
        item->setSelected(slot < int(current.size()) && current.test(size_t(slot)));
    }
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(SlotList, 1);
    layout->addLayout(buttons);
    resize(260, 460);

    Lang = new widgets::TLanguage(this);
    Lang->setProperties(
        { QStringLiteral("WorkingHoursForm.Caption"), QStringLiteral("WorkingHoursForm.ChooseLabel.Caption"),
            QStringLiteral("WorkingHoursForm.OKBtn.Caption"),
            QStringLiteral("WorkingHoursForm.CancelBtn.Caption") });
    Lang->Translate();
}

data::timeslots::SlotSet TWorkingHoursForm::chosenSlots() const
{
    data::timeslots::SlotSet set;
    for (int i = 0; i < SlotList->count(); ++i) {
        if (SlotList->item(i)->isSelected() && i + 1 < int(set.size()))
            set.set(size_t(i + 1));
    }
    return set;
}

} // namespace appointments
