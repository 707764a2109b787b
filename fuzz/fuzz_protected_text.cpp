// A protected data file's stored values and wrapped key as another program may have written them. The input is
// read three ways: as a stored value and as a wrapped key (neither may crash, and no value opens that this key
// did not seal for this place); as a text to seal (it comes back at its place only); and as a mask over the bytes
// of a sealed value (any change at all is refused).
#include "FuzzCheck.h"

#include "domain/crypto/DataKey.h"

#include <cstdint>

namespace {

const StoredTextPlace Place{QStringLiteral("WebsiteInstructions"), QStringLiteral("TextToTypeIn"), QStringLiteral("7")};
const StoredTextPlace OtherRow{Place.table, Place.column, QStringLiteral("8")};

// The sealed value with the mask's bytes added (exclusive or) to its decoded bytes, from the first on (a longer mask
// is cut to its length); `changed` tells whether any byte changed.
QString masked(const QString& sealed, const QByteArray& mask, bool& changed)
{
    QByteArray bytes = QByteArray::fromBase64(sealed.mid(4).toLatin1(), QByteArray::Base64UrlEncoding);
    changed = false;
    for (qsizetype i = 0; i < mask.size() && i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ mask[i]);
        changed = changed || mask[i] != 0;
    }
    return sealed.left(4) +
           QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DataKey key = DataKey::generate();
    static const QString sealed = key.conceal(Place, QStringLiteral("Passw0rd's 1!"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);

    fuzzCheck(!key.reveal(Place, text) || text == sealed, "no stored value opens that the key did not seal");
    static_cast<void>(DataKey::looksWrapped(text));

    const QString own = key.conceal(Place, text);
    fuzzCheck(key.reveal(Place, own) == text, "a sealed text comes back at its place");
    fuzzCheck(!key.reveal(OtherRow, own), "a sealed text is refused at another row");

    bool changed = false;
    const QString changedValue = masked(sealed, bytes, changed);
    fuzzCheck(key.reveal(Place, changedValue).has_value() != changed,
              "a sealed value with any byte changed is refused, and one left whole opens");
    return 0;
}
