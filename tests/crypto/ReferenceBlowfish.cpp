#include "ReferenceBlowfish.h"

// The low-level calls, deprecated in OpenSSL 3 but still exported, are what single blocks need.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>

namespace referenceBlowfish {

QByteArray ecb(const QByteArray& key, const QByteArray& data, bool encipher)
{
    BF_KEY schedule;
    BF_set_key(&schedule, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(key.constData()));
    QByteArray output(data.size() / 8 * 8, '\0');
    for (qsizetype offset = 0; offset < output.size(); offset += 8)
        BF_ecb_encrypt(reinterpret_cast<const unsigned char*>(data.constData() + offset),
                       reinterpret_cast<unsigned char*>(output.data() + offset), &schedule,
                       encipher ? BF_ENCRYPT : BF_DECRYPT);
    return output;
}

} // namespace referenceBlowfish
