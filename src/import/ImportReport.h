#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace import {

// What the import did, table by table: read, imported, refused; the rows it took as they were
// although they break a rule of ours; the files it could not read.
struct ImportReport {
    struct Table {
        QString file; // Patient.DB
        QString table; // Patient
        qint64 read = 0;
        qint64 imported = 0;
        qint64 refused = 0;
    };
    struct Row {
        QString table;
        QString key; // "PatientID 12"; the fields of its first index for a table without an identifier;
                     // "record 7" for a row without either
        QString reason;
    };
    struct File {
        QString file;
        QString reason;
    };

    QList<Table> tables;
    QList<Row> refused; // not imported
    QList<Row> notes; // imported as they were, with what is wrong with them
    QList<File> failedFiles; // not read at all
    QStringList tableNotes; // fields left out or left empty, tables the old directory lacks
    QStringList generators; // "LastPat: 5000"
    QStringList images; // what became of the image folders
    bool written = false;
    QString failure; // why nothing was written

    QString text() const;
};

} // namespace import
