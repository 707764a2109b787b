#include "ReferenceBlowfish.h"

// The low-level Blowfish calls are deprecated in OpenSSL 3 but still exported; they are what a
// reference for single blocks and key schedules needs.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>

#include <algorithm>

namespace referenceBlowfish {

static BF_KEY scheduleKey(const QByteArray& key)
{
    BF_KEY schedule;
    BF_set_key(&schedule, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(key.constData()));
    return schedule;
}

KeyedTables keyedTables(const QByteArray& key)
{
    const BF_KEY schedule = scheduleKey(key);
    KeyedTables tables{};
    std::copy(std::begin(schedule.P), std::end(schedule.P), tables.pArray.begin());
    for (std::size_t box = 0; box < tables.sBoxes.size(); ++box)
        std::copy_n(schedule.S + 256 * box, 256, tables.sBoxes[box].begin());
    return tables;
}

QByteArray ecb(const QByteArray& key, const QByteArray& data, bool encipher)
{
    const BF_KEY schedule = scheduleKey(key);
    QByteArray output(data.size() / 8 * 8, '\0');
    for (qsizetype offset = 0; offset < output.size(); offset += 8) {
        BF_ecb_encrypt(reinterpret_cast<const unsigned char*>(data.constData() + offset),
                       reinterpret_cast<unsigned char*>(output.data() + offset), &schedule,
                       encipher ? BF_ENCRYPT : BF_DECRYPT);
    }
    return output;
}

} // namespace referenceBlowfish
