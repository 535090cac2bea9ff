#include "clinical/PerioColorsUnit.h"

#include "platform/MessageService.h"
#include "widgets/Language.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace clinical {

namespace {

struct Row {
    const char* name;
    const char* caption;
};

// In the order of TPerioColorsForm::Swatch; the two pocket rows get their captions from the risk level.
constexpr Row kRows[]
    = { { "GM", "Recession" }, { "BL", "Bleeding" }, { "PDLower", "<" }, { "PDGreater", ">= " },
          { "Plaque", "Plaque" }, { "MOB", "Mobility" }, { "Peri", "Periapical" }, { "FUR", "Furcation" } };

} // namespace

TPerioColorsForm::TPerioColorsForm(const PerioColors& colors, QWidget* parent)
    : QDialog(parent)
    , m_start(colors)
    , m_colors { colors.gm, colors.bl, colors.pdLower, colors.pdGreater, colors.plaque, colors.mob,
        colors.peri, colors.fur }
{
    setObjectName(QStringLiteral("PerioColorsForm"));
    setWindowTitle(QStringLiteral("Customize Perio Colors"));
    Lang = new widgets::TLanguage(this);
    chooseColor
        = [](const QColor& current, QWidget* owner) { return QColorDialog::getColor(current, owner); };

    auto* root = new QVBoxLayout(this);
    auto* risk = new QHBoxLayout;
    auto* riskLabel = new QLabel(QStringLiteral("PD risk level"), this);
    riskLabel->setObjectName(QStringLiteral("RiskLevelLabel"));
    RiskLevelEdit = new QLineEdit(QString::number(colors.riskLevel), this);
    RiskLevelEdit->setObjectName(QStringLiteral("RiskLevelEdit"));
    RiskLevelEdit->setValidator(new QIntValidator(1, 99, RiskLevelEdit));
    RiskLevelEdit->setMaxLength(2);
    RiskLevelEdit->setFixedWidth(40);
    connect(RiskLevelEdit, &QLineEdit::textChanged, this, &TPerioColorsForm::updateRiskLabels);
    risk->addWidget(riskLabel);
    risk->addWidget(RiskLevelEdit);
    risk->addStretch();
    root->addLayout(risk);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    for (int i = 0; i < SwatchCount; ++i) {
        const QString name = QString::fromLatin1(kRows[i].name);
        auto* caption = new QLabel(QString::fromLatin1(kRows[i].caption), this);
        caption->setObjectName(name + QStringLiteral("Label"));
        auto* sample = new QLabel(this);
        sample->setObjectName(name + QStringLiteral("Swatch"));
        sample->setFixedSize(48, 20);
        sample->setFrameShape(QFrame::Box);
        sample->setAutoFillBackground(true);
        auto* choose = new QPushButton(QStringLiteral("..."), this);
        choose->setObjectName(name + QStringLiteral("Btn"));
        choose->setFixedWidth(32);
        const auto which = static_cast<Swatch>(i);
        connect(choose, &QPushButton::clicked, this, [this, which] {
            const QColor picked = chooseColor(m_colors[which], this);
            if (picked.isValid())
                setSwatch(which, picked);
        });
        grid->addWidget(caption, i, 0);
        grid->addWidget(sample, i, 1);
        grid->addWidget(choose, i, 2);
        Swatches << sample;
        ChooseBtns << choose;
        if (i == PDLower)
            LowerLabel = caption;
        else if (i == PDGreater)
            GreaterLabel = caption;
    }
    root->addLayout(grid);
    for (int i = 0; i < SwatchCount; ++i)
        setSwatch(static_cast<Swatch>(i), m_colors[i]);

    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TPerioColorsForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    root->addLayout(buttons);

    QStringList paths;
    for (const char* path :
        { "Caption", "RiskLevelLabel.Caption", "GMLabel.Caption", "BLLabel.Caption", "PlaqueLabel.Caption",
            "MOBLabel.Caption", "PeriLabel.Caption", "FURLabel.Caption", "CancelBtn.Caption" })
        paths << QStringLiteral("PerioColorsForm.") + QLatin1String(path);
    Lang->setProperties(paths);
    updateRiskLabels();
}

void TPerioColorsForm::showEvent(QShowEvent* event)
{
    Lang->Translate();
    QDialog::showEvent(event);
}

void TPerioColorsForm::setSwatch(Swatch which, const QColor& colour)
{
    m_colors[which] = colour;
    QPalette palette = Swatches[which]->palette();
    palette.setColor(QPalette::Window, colour);
    Swatches[which]->setPalette(palette);
}

void TPerioColorsForm::updateRiskLabels()
{
    const QString level = RiskLevelEdit->text().trimmed();
    LowerLabel->setText(QStringLiteral("< ") + level);
    GreaterLabel->setText(QStringLiteral(">= ") + level);
}

PerioColors TPerioColorsForm::colors() const
{
    PerioColors c;
    c.gm = m_colors[GM];
    c.bl = m_colors[BL];
    c.pdLower = m_colors[PDLower];
    c.pdGreater = m_colors[PDGreater];
    c.plaque = m_colors[Plaque];
    c.mob = m_colors[MOB];
    c.peri = m_colors[Peri];
    c.fur = m_colors[FUR];
    bool ok = false;
    const int level = RiskLevelEdit->text().trimmed().toInt(&ok);
    c.riskLevel = ok && level > 0 ? level : m_start.riskLevel;
    return c;
}

void TPerioColorsForm::accept()
{
    bool ok = false;
    const int level = RiskLevelEdit->text().trimmed().toInt(&ok);
    if (!ok || level <= 0) {
        platform::showError(
            Lang->Message(QStringLiteral("The risk level must be a number of millimetres from 1 to 99.")));
        RiskLevelEdit->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace clinical
