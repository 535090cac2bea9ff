#pragma once

#include "clinical/PerioGraph.h"
#include "widgets/Forward.h"

#include <QDialog>

#include <functional>

namespace clinical {

// "Customize Perio Colors": a swatch and a "..." button per colour of the periodontal graph,
// and the pocket depth from which a bar is drawn in the risk colour. OK keeps the choice.
class TPerioColorsForm : public QDialog {
    Q_OBJECT
public:
    enum Swatch { GM, BL, PDLower, PDGreater, Plaque, MOB, Peri, FUR, SwatchCount };

    explicit TPerioColorsForm(const PerioColors& colors, QWidget* parent = nullptr);

    // The colours as shown; the risk level as typed (the previous one when the text is no number).
    PerioColors colors() const;
    void setSwatch(Swatch which, const QColor& colour);
    QColor swatch(Swatch which) const { return m_colors[which]; }
    // The colour dialog for a swatch (tests replace it).
    std::function<QColor(const QColor& current, QWidget* parent)> chooseColor;

    QLineEdit* RiskLevelEdit;
    QLabel* LowerLabel;
    QLabel* GreaterLabel;
    QList<QLabel*> Swatches;
    QList<QPushButton*> ChooseBtns;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateRiskLabels();
    void accept() override;

    PerioColors m_start;
    QColor m_colors[SwatchCount];
};

} // namespace clinical
