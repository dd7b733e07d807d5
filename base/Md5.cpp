#include "base/Md5.h"

#include <openssl/evp.h>

#include <stdexcept>

QString Md5Hex(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_md5(), nullptr) !=
        1)
        throw std::runtime_error("MD5 indisponível na biblioteca de criptografia");
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex());
}
