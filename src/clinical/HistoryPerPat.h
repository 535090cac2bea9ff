#pragma once

#include "data/Domain.h"
#include "reports/Report.h"
#include "widgets/Forward.h"

#include <QDate>
#include <QDialog>
#include <QImage>

namespace clinical {

// What the treatment history report prints.
struct HistoryReportOptions {
    enum class Parts { All, DiagramOnly, FinancialOnly };
    data::TreatmentLevel level = data::TreatmentLevel::Implementation; // the chart's view
    QDate from; // empty: no limit
    QDate to;
    bool cost = true; // the cost column and the totals (only ever for levels 1 and 2)
    bool material = true;
    bool lab = true;
    bool color = true;
    QString notes; // printed under the chart when not empty
    Parts parts = Parts::All;
    bool showPrice = false; // each row's default price and its sums
};

// The look of the report that a layout file beside the program may change: "DentalChartRpt.rtm",
// an INI file with the section [Layout] and the keys ChartHeightMm (the chart picture's
// height), Columns (the printed columns in order, by their captions: Date, Operation, Tooth,
// Cost, Dental Lab, Material, Color) and Footer (the page line, %1 the page number).
struct HistoryReportLayout {
    double chartHeightMm = 75;
    QStringList columns{QStringLiteral("Date"), QStringLiteral("Operation"), QStringLiteral("Tooth"), QStringLiteral("Cost"),
        QStringLiteral("Dental Lab"), QStringLiteral("Material"), QStringLiteral("Color")};
    QString footer = QStringLiteral("Page %1");

    static QString fileName() { return QStringLiteral("DentalChartRpt.rtm"); }
    // The file beside the program when it is there, else the built-in layout.
    static HistoryReportLayout load();
    static HistoryReportLayout fromFile(const QString& path);
};

// The report of the rows of one view of the current session (the data module's history view
// of that level), grouped by dentist with totals, under the chart picture.
reports::Report BuildHistoryReport(data::TDmForm& dm, const QImage& chart, const QString& title, const HistoryReportOptions& options,
    const HistoryReportLayout& layout = HistoryReportLayout::load());

// The window of the report ("Patient History"): the print options, then preview, printer or PDF.
class THistoryPerPatRpt : public QDialog {
    Q_OBJECT
public:
    // `title` is the chart's view caption; `level` its treatment level.
    THistoryPerPatRpt(data::TDmForm& dm, data::TreatmentLevel level, const QImage& chart,
        const QString& title, QWidget* parent = nullptr);

    HistoryReportOptions options() const;
    reports::Report report() const;

    QCheckBox* FromCheck;
    QDateEdit* FromEdit;
    QCheckBox* ToCheck;
    QDateEdit* ToEdit;
    QCheckBox* CostCheck;
    QCheckBox* MaterialCheck;
    QCheckBox* LabCheck;
    QCheckBox* ColorCheck;
    QCheckBox* NotesCheck;
    QPlainTextEdit* NotesMemo;
    QRadioButton* ShowAllRadio;
    QRadioButton* DiagramOnlyRadio;
    QRadioButton* FinancialOnlyRadio;
    QCheckBox* ShowCostCheck;
    QPushButton* PreviewBtn;
    QPushButton* PrintBtn;
    QPushButton* PdfBtn;

    void PreviewBtnClick();
    void PrintBtnClick();
    void PdfBtnClick();

private:
    bool mayPrint();

    data::TDmForm& m_dm;
    data::TreatmentLevel m_level;
    QImage m_chart;
    QString m_title;
};

} // namespace clinical
