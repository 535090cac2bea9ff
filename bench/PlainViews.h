#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace bench {

// The reads of a set of views done with plain QSqlQuery calls: each view's own statement (its
// table, columns, master condition and order, as the view last read it; a query's text and
// parameters), prepared once, run with the values of its master's first row, every row read
// into memory. What a program without our layer would have to run to show the same rows.
class PlainViews {
public:
    // `views`: open views, masters before their details. A view whose master is not in the
    // list keeps the master values it was last read with. Queries take each parameter from
    // the first column of that name read before them.
    PlainViews(const db::Connection& connection, const QList<db::Dataset*>& views);
    ~PlainViews();

    // Reads every view in order. With a `rootKey`, the first view is not read whole but
    // positioned on its row whose `rootKey` is `rootValue` (a patient found by PatientID).
    void read(const QString& rootKey = {}, const QVariant& rootValue = {});
    int rowsRead() const { return m_rowsRead; }
    int statements() const { return int(m_views.size()); }

private:
    struct View;
    void readView(View& view, int index);
    void readQuery(View& view, int index);
    void readByKey(View& view);
    void readTable(View& view);
    void keep(View& view, QSqlQuery& query, bool isFirst);

    const db::Connection& m_connection;
    std::vector<std::unique_ptr<View>> m_views;
    int m_rowsRead = 0;
    QString m_rootKey;
    QVariant m_rootValue;
};

} // namespace bench
