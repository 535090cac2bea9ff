#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace import {

// The code pages the old installation's tables were written in: the Windows and DOS Greek
// pages of Greek practices, and the Latin pages of tables made elsewhere.
class CodePage {
public:
    // Nothing for a code page we cannot read.
    static std::optional<CodePage> fromNumber(int number);

    int number() const { return m_number; }
    QString name() const { return QString::fromLatin1(m_name); }
    // Text of a field or memo; a byte that the page leaves undefined comes out as U+FFFD, and
    // `clean` says whether one did.
    QString decode(const QByteArray& bytes, bool* clean = nullptr) const;
    QByteArray encode(const QString& text) const;

private:
    CodePage(int number, const char* name)
        : m_number(number)
        , m_name(name)
    {
    }

    int m_number;
    const char* m_name;
};

} // namespace import
