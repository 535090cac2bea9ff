#pragma once

#include "widgets/Forward.h"
#include <QPointer>
#include <QWidget>

namespace clinical {

// The chewing-surface editor ("Μασητική"): a generic tooth with the five surfaces "a" … "e";
// a click toggles a surface, and saving stores the mask in the Masitikes field of the history
// view's current row (bit k for surface "a" + k).
class TMasitikesForm : public QWidget {
    Q_OBJECT
public:
    explicit TMasitikesForm(QWidget* parent = nullptr);

    void setTooth(int toothNumber);
    void setView(db::Dataset* history);
    // The mask of the view's row with this ID (0 when it has none).
    void loadMask(const QVariant& id);
    int mask() const { return m_mask; }
    void setMask(int mask);
    // Flips surface k and repaints.
    void toggleSurface(int k);

    widgets::RegionImage* Image;
    QPushButton* SaveBtn;
    QPushButton* CloseBtn;

    // Stores the mask in the view's current row and closes (nothing on an empty view).
    void SaveBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void paintMask();

    QPointer<db::Dataset> m_view;
    int m_mask = 0;
};

} // namespace clinical
