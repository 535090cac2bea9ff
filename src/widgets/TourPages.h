#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace widgets {

// What a page of the screenshot tour takes its pictures with.
class TourCamera {
public:
    virtual ~TourCamera() = default;
    // The practice made for the tour, which a page may add to; a user's own is only looked at.
    virtual bool scratch() const = 0;
    // Shows the window, lets it settle and writes OUTDIR/<name>.png (the window's object name
    // when no name is given) with the texts it shows.
    virtual void take(QWidget& window, const QString& name = {}) = 0;
};

// Lets the event loop run a while, so that a window just shown lays itself out and paints.
void settleEvents(int milliseconds = 200);

// The pages of the screenshot tour, each registered by the window folder it shows. A page gets
// a `Practice` opened over the tour's data, inside a frame bound to it as the program binds it.
template<typename Practice> class TourPages {
public:
    using Show = std::function<void(Practice& practice, TourCamera& camera)>;
    struct Page {
        QString what; // for the log when a page cannot be shown
        Show show;
    };

    static TourPages& instance()
    {
        static TourPages pages;
        return pages;
    }
    void add(const QString& what, Show show) { m_pages.append({ what, std::move(show) }); }
    const QList<Page>& pages() const { return m_pages; }

private:
    QList<Page> m_pages;
};

} // namespace widgets
