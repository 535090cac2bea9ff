#include "import/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace import {

std::optional<CodePage> CodePage::fromNumber(int number)
{
    // Paradox writes the page's number into the table header; 1253 comes from the Windows
    // language driver, 737 from the DOS one.
    static const struct {
        int number;
        const char* name;
    } pages[] = {
        { 1253, "windows-1253" },
        { 737, "IBM737" },
        { 869, "IBM869" },
        { 1252, "windows-1252" },
        { 437, "IBM437" },
        { 850, "IBM850" },
    };
    for (const auto& page : pages) {
        if (page.number == number && QStringDecoder(page.name).isValid())
            return CodePage(page.number, page.name);
    }
    return std::nullopt;
}

QString CodePage::decode(const QByteArray& bytes, bool* clean) const
{
    QStringDecoder decoder(m_name);
    QString text = decoder.decode(bytes);
    if (clean)
        *clean = !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
    return text;
}

QByteArray CodePage::encode(const QString& text) const
{
    QStringEncoder encoder(m_name);
    return encoder.encode(text);
}

} // namespace import
