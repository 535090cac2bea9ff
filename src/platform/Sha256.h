#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace platform {

// SHA-256 through the system's crypto library, which uses the processor's instructions where
// there are any: sums of whole databases must not cost more than reading them.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    void add(const char* data, qsizetype size);
    void add(const QByteArray& data) { add(data.constData(), data.size()); }
    QByteArray hex(); // ends the sum

    // The sum of a file's contents and its size; false when it cannot be read.
    static bool ofFile(const QString& path, QByteArray& hex, qint64& size);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};

} // namespace platform
