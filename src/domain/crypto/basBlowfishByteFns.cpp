#include "domain/crypto/basBlowfishByteFns.h"

#include "domain/crypto/basBlowfish.h"
#include "domain/crypto/basConvert.h"
#include "domain/crypto/basUnsignedWord.h"
#include "domain/error/AppError.h"

#include <algorithm>

using namespace basUnsignedWord;

namespace basBlowfishByteFns {

namespace {

// The key bytes and the data bytes of the latest text call; every call overwrites them.
QByteArray KeyBytes;
QByteArray WorkBytes;

void setKeyFromText(const QString& keyText)
{
    KeyBytes = basConvert::HexToBytes(keyText);
    if (basBlowfish::SetCipherKey(KeyBytes)) {
        return;
    }
    if (KeyBytes.isEmpty()) {
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The key is empty."));
    }
    throw AppError(ErrorNumber::InvalidArgument,
                   QStringLiteral("The key is %1 characters long and gives %2 key bytes, longer than the %3 bytes "
                                  "(%4 characters) the cipher takes.")
                       .arg(keyText.size())
                       .arg(KeyBytes.size())
                       .arg(basBlowfish::MaxKeyBytes)
                       .arg(2 * basBlowfish::MaxKeyBytes));
}

Block8 blockAt(const QByteArray& data, qsizetype offset)
{
    Block8 block{};
    for (int i = 0; i < BlockSize; ++i) {
        block[i] = static_cast<std::uint8_t>(data[offset + i]);
    }
    return block;
}

void storeBlock(const Block8& block, QByteArray& data, qsizetype offset)
{
    for (int i = 0; i < BlockSize; ++i) {
        data[offset + i] = static_cast<char>(block[i]);
    }
}

void storeWord(std::uint32_t word, Block8& block, int offset)
{
    const auto bytes = UnpackWord(word);
    std::copy(bytes.begin(), bytes.end(), block.begin() + offset);
}

} // namespace

QString EncryptText(const QString& text, const QString& keyText)
{
    setKeyFromText(keyText);
    WorkBytes = EncryptBytes(basConvert::textToAnsiBytes(text));
    return basConvert::ansiBytesToText(WorkBytes);
}

QString DecryptText(const QString& cipherText, const QString& keyText)
{
    if (cipherText.size() < BlockSize) {
        throw AppError(ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("The enciphered text is %1 bytes long, shorter than one %2-byte block.")
                           .arg(cipherText.size())
                           .arg(BlockSize));
    }
    setKeyFromText(keyText);
    WorkBytes = basConvert::textToAnsiBytes(cipherText);
    return basConvert::ansiBytesToText(DecryptBytes(WorkBytes));
}

QByteArray EncryptBytes(const QByteArray& data)
{
    return CipherBlocksEcb(AddBlockPadding(data), true);
}

QByteArray DecryptBytes(const QByteArray& data)
{
    return RemoveBlockPadding(CipherBlocksEcb(data, false));
}

QByteArray CipherBlocksEcb(const QByteArray& data, bool encipher)
{
    const qsizetype wholeBlocks = data.size() / BlockSize;
    if (wholeBlocks == 0) {
        throw AppError(ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("The data is %1 bytes long, shorter than one %2-byte cipher block.")
                           .arg(data.size())
                           .arg(BlockSize));
    }
    QByteArray output(wholeBlocks * BlockSize, '\0');
    for (qsizetype offset = 0; offset < output.size(); offset += BlockSize) {
        Block8 block = blockAt(data, offset);
        if (encipher) {
            EncipherBlock8(block);
        } else {
            DecipherBlock8(block);
        }
        storeBlock(block, output, offset);
    }
    return output;
}

void EncipherBlock8(Block8& block)
{
    std::uint32_t left = PackWord(block[0], block[1], block[2], block[3]);
    std::uint32_t right = PackWord(block[4], block[5], block[6], block[7]);
    basBlowfish::EncipherWordPair(left, right);
    storeWord(left, block, 0);
    storeWord(right, block, 4);
}

void DecipherBlock8(Block8& block)
{
    std::uint32_t left = PackWord(block[0], block[1], block[2], block[3]);
    std::uint32_t right = PackWord(block[4], block[5], block[6], block[7]);
    basBlowfish::DecipherWordPair(left, right);
    storeWord(left, block, 0);
    storeWord(right, block, 4);
}

QByteArray AddBlockPadding(const QByteArray& data)
{
    const int padding = BlockSize - static_cast<int>(data.size() % BlockSize);
    return data + QByteArray(padding, static_cast<char>(padding));
}

QByteArray RemoveBlockPadding(const QByteArray& data)
{
    if (data.isEmpty()) {
        return {};
    }
    int padding = static_cast<std::uint8_t>(data.back());
    if (padding > BlockSize) {
        padding = 0;
    }
    return data.size() > padding ? data.first(data.size() - padding) : QByteArray();
}

} // namespace basBlowfishByteFns
