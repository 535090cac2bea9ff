#include "clinical/ToothColorUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace clinical {

namespace {

const char* const kShadeFields[] = { "Chromatologio", "Near", "Far", "Chewing", "Auchenic", "Notes" };

} // namespace

TToothColorForm::TToothColorForm(data::TDmForm& dm, QWidget* parent)
    : TToothRecordForm(dm, *dm.clinical().ToothColorTable, QStringLiteral("Tooth Coloring No"), parent)
{
    setObjectName(QStringLiteral("ToothColorForm"));
    setWindowTitle(QStringLiteral("Tooth Coloring"));
    db::DataSource* source = dm.clinical().ToothColorSrc;
    const auto combo = [this, source](const char* name, const char* field, const QStringList& items) {
        auto* c = new widgets::DBComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->addItems(items);
        c->bindTo(source, QLatin1String(field));
        return c;
    };
    // Suggestions only: any guide or shade may be typed.
    const QStringList guides { QStringLiteral("Vita Classical"), QStringLiteral("Vita 3D-Master"),
        QStringLiteral("Chromascop"), QStringLiteral("Noritake") };
    const QStringList shades { QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
        QStringLiteral("A3.5"), QStringLiteral("A4"), QStringLiteral("B1"), QStringLiteral("B2"),
        QStringLiteral("B3"), QStringLiteral("B4"), QStringLiteral("C1"), QStringLiteral("C2"),
        QStringLiteral("C3"), QStringLiteral("C4"), QStringLiteral("D2"), QStringLiteral("D3"),
        QStringLiteral("D4") };
    ColorListCombo = combo("ColorListCombo", "Chromatologio", guides);
    NearCombo = combo("NearCombo", "Near", shades);
    FarCombo = combo("FarCombo", "Far", shades);
    ChewingCombo = combo("ChewingCombo", "Chewing", shades);
    AuchenicCombo = combo("AuchenicCombo", "Auchenic", shades);
    NotesMemo = new widgets::DBMemo(this);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->bindTo(source, QStringLiteral("Notes"));
    NotesMemo->setMaximumHeight(80);

    auto* grid = new QGridLayout;
    QStringList paths;
    int row = 0;
    const auto add = [&](QWidget* editor, const char* caption) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setObjectName(editor->objectName() + QStringLiteral("Label"));
        label->setBuddy(editor);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(editor, row++, 1);
        paths.append(QStringLiteral("ToothColorForm.%1.Caption").arg(label->objectName()));
    };
    add(ColorListCombo, "Color List");
    add(NearCombo, "Near");
    add(FarCombo, "Far");
    add(ChewingCombo, "Chewing");
    add(AuchenicCombo, "Auchenic");
    add(NotesMemo, "Notes");
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttonRow());
    paths << QStringLiteral("ToothColorForm.OKBtn.Caption")
          << QStringLiteral("ToothColorForm.CancelBtn.Caption");
    Lang->setProperties(paths);
    resize(340, 300);
}

int TToothColorForm::Show(
    data::TDmForm& dm, const QVariant& sessionId, int tooth, QWidget* parent, std::optional<QPoint> at)
{
    TToothColorForm form(dm, parent);
    return form.editTooth(sessionId, tooth, at);
}

bool TToothColorForm::isEmptyRecord() const
{
    for (const char* field : kShadeFields) {
        if (!view().value(QString::fromLatin1(field)).toString().trimmed().isEmpty())
            return false;
    }
    return true;
}

} // namespace clinical
