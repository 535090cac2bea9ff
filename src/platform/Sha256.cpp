#include "platform/Sha256.h"

#include <QFile>

#include <openssl/evp.h>

namespace platform {

struct Sha256::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256()
    : m_context(std::make_unique<Context>())
{
    EVP_DigestInit_ex(m_context->ctx, EVP_sha256(), nullptr);
}

Sha256::~Sha256() = default;

void Sha256::add(const char* data, qsizetype size)
{
    EVP_DigestUpdate(m_context->ctx, data, size_t(size));
}

QByteArray Sha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context->ctx, digest, &length);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex();
}

bool Sha256::ofFile(const QString& path, QByteArray& hex, qint64& size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Sha256 sum;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    size = 0;
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        sum.add(buffer.constData(), got);
        size += got;
    }
    hex = sum.hex();
    return true;
}

} // namespace platform
