#pragma once

#include "images/ImageCell.h"
#include "widgets/Forward.h"

#include <QDialog>
#include <QList>
#include <QSet>

namespace images {

// "SlideShow": the pictures of the current patient's session that belong to the tooth selected
// on the dental chart, six at a time; the marked ones go to the imaging program on "Open".
class TSlideShowForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int PageSize = 6;
    struct Entry {
        QString fileName;
        int position; // in the patient's image list
    };

    explicit TSlideShowForm(data::TDmForm& dm, QWidget* parent = nullptr);

    // The tooth when no chart is open to ask (the chart's selected tooth wins).
    void setTooth(int tooth) { m_tooth = tooth; }
    int tooth() const { return m_tooth; }
    const QList<Entry>& toothList() const { return m_toothList; }
    int imageCount() const { return static_cast<int>(m_images.size()); }
    int page() const { return m_page; }
    const QSet<int>& marks() const { return m_marks; }

    void FormActivate();
    void PrevBtnClick();
    void NextBtnClick();
    void CellClick(int cell);
    void OpenBtnClick();
    void ShowPage();

    ImageCell* Cells[PageSize];
    QPushButton* PrevBtn;
    QPushButton* NextBtn;
    QPushButton* OpenBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Image {
        QString fileName;
        int tooth;
    };
    QString filePath(const QString& name) const;

    data::TDmForm& m_dm;
    QList<Image> m_images;
    QList<Entry> m_toothList;
    QSet<int> m_marks;
    int m_tooth = 0;
    int m_page = 0;
};

} // namespace images
