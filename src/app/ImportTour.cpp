#include "app/ImportTour.h"

#include "app/ImportUnit.h"
#include "data/schema/Schema.h"
#include "import/ParadoxWriter.h"

#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

namespace app {

void tourImportWindow(const std::function<void(QWidget&)>& take)
{
    QTemporaryDir scratch;
    const QString old = scratch.filePath(QStringLiteral("Old/Data"));
    QDir().mkpath(old);
    {
        const db::TableDef& patients = *data::schemaTable(u"Patient");
        import::ParadoxWriter writer(
            QDir(old).filePath(QStringLiteral("Patient.DB")), import::ParadoxWriter::fieldsOf(patients));
        const QStringList names
            = { QStringLiteral("Παπαδόπουλος"), QStringLiteral("Οικονόμου"), QStringLiteral("Γεωργίου") };
        for (int i = 0; i < names.size(); ++i) {
            QVariantList row(patients.fields.size());
            row[0] = i + 1;
            row[1] = names[i];
            row[11] = QDate(1960 + i * 7, 3, 12);
            writer.append(row);
        }
    }
    TImportForm form;
    form.OldDirEdit->setText(old);
    form.NewDirEdit->setText(scratch.filePath(QStringLiteral("New/Data")));
    form.show();
    form.ImportBtnClick();
    take(form);
}

} // namespace app
