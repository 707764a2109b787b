// The keymaps of the Wayland key sender, compiled by libxkbcommon as a compositor and its windows compile them:
// each character on a key of the alphanumeric block that types it, named keys on their own keys, and the
// characters of the next stretch of text chosen when a keymap is full.

#include "os/keys/WaylandKeymap.h"

#include <QTest>
#include <memory>
#include <set>
#include <xkbcommon/xkbcommon.h>

using Keys::Key;
using Keys::KeyStroke;
using Keys::WaylandKeymap;

namespace {

constexpr std::uint32_t XkbOffset = 8;

std::vector<KeyStroke> charactersOf(const std::u32string& text)
{
    std::vector<KeyStroke> strokes;
    for (char32_t c : text)
        strokes.push_back({Key::Character, c, Keys::NoModifier});
    return strokes;
}

bool isAlphanumericKey(std::uint32_t evdev)
{
    return (evdev >= 2 && evdev <= 13) || (evdev >= 16 && evdev <= 27) || (evdev >= 30 && evdev <= 41) ||
           (evdev >= 43 && evdev <= 53) || evdev == 86;
}

using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
using State = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

// The keysym a key gives, with Shift held or not, in the compiled keymap.
xkb_keysym_t keysymOf(xkb_keymap* keymap, std::uint32_t evdev, bool shift)
{
    State state(xkb_state_new(keymap), &xkb_state_unref);
    const xkb_mod_mask_t mods = shift ? WaylandKeymap::ShiftMask : 0;
    xkb_state_update_mask(state.get(), mods, 0, 0, 0, 0, 0);
    return xkb_state_key_get_one_sym(state.get(), evdev + XkbOffset);
}

} // namespace

class TestWaylandKeymap : public QObject
{
    Q_OBJECT

    Context m_context{xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES), &xkb_context_unref};

    Keymap compile(const WaylandKeymap& keymap)
    {
        return Keymap(xkb_keymap_new_from_string(m_context.get(), keymap.text().c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                 XKB_KEYMAP_COMPILE_NO_FLAGS),
                      &xkb_keymap_unref);
    }

private slots:
    void typesEachCharacterOnAnAlphanumericKey_data()
    {
        QTest::addColumn<QString>("text");
        QString ascii;
        for (char16_t c = 0x20; c < 0x20 + WaylandKeymap::CharacterKeyCount; ++c)
            ascii += QChar(c);
        QTest::newRow("a full keymap of ASCII punctuation and digits") << ascii;
        QTest::newRow("letters, with their capitals on Shift") << "aZé";
        QTest::newRow("characters without a Latin-1 keysym") << QString::fromUtf8("€中✓Жø𝄞");
    }

    void typesEachCharacterOnAnAlphanumericKey()
    {
        QFETCH(QString, text);
        const QList<uint> codePoints = text.toUcs4();
        WaylandKeymap keymap = WaylandKeymap().nextFor(charactersOf({codePoints.begin(), codePoints.end()}), 0);
        const Keymap compiled = compile(keymap);
        QVERIFY2(compiled, keymap.text().c_str());
        for (uint c : codePoints) {
            const std::uint32_t key = keymap.keyFor(c);
            QVERIFY2(isAlphanumericKey(key), qPrintable(QString::number(key)));
            const xkb_keysym_t plain = keysymOf(compiled.get(), key, false);
            QCOMPARE(xkb_keysym_to_utf32(plain), c);
            QCOMPARE(keysymOf(compiled.get(), key, true), xkb_keysym_to_upper(plain));
        }
    }

    // A control character has the keysym of a key (Delete, BackSpace, Escape), which a character key must not get.
    void typesNoControlCharacter()
    {
        for (char32_t c : {U'\0', U'\b', U'\x1b', U'\x7f', U'\x85'})
            QVERIFY2(!WaylandKeymap::canType(c), qPrintable(QString::number(static_cast<uint>(c), 16)));
        QVERIFY(WaylandKeymap::canType(U' '));
        QVERIFY(WaylandKeymap::canType(U'\x1d11e'));
    }

    // Each named key on its own key, out of the characters' way, that XWayland's keycodes still reach.
    void namedKeysKeepTheirOwnKeys()
    {
        const Keymap compiled = compile(WaylandKeymap());
        QVERIFY(compiled);
        std::set<std::uint32_t> used;
        for (int k = static_cast<int>(Key::Enter); k <= static_cast<int>(Key::F16); ++k) {
            const std::uint32_t evdev = WaylandKeymap::keyOf(static_cast<Key>(k));
            QVERIFY2(evdev != 0 && !isAlphanumericKey(evdev) && evdev + XkbOffset <= 255,
                     qPrintable(QString::number(k)));
            QVERIFY2(keysymOf(compiled.get(), evdev, false) != XKB_KEY_NoSymbol, qPrintable(QString::number(k)));
            QVERIFY2(used.insert(evdev).second, qPrintable(QString::number(k)));
        }
        QCOMPARE(keysymOf(compiled.get(), WaylandKeymap::keyOf(Key::Enter), false), XKB_KEY_Return);
        QCOMPARE(keysymOf(compiled.get(), WaylandKeymap::keyOf(Key::Tab), true), XKB_KEY_ISO_Left_Tab);
        QCOMPARE(
            keysymOf(compiled.get(), WaylandKeymap::keyOf(static_cast<Key>(static_cast<int>(Key::F1) + 11)), false),
            XKB_KEY_F12);
    }

    // When a keymap is full, the next one takes the characters ahead first, then the ones typed last.
    void theNextKeymapHoldsTheTextAheadThenTheRecentCharacters()
    {
        std::u32string sixty;
        for (char32_t c = U'A'; sixty.size() < 60; ++c)
            sixty += c;
        const std::vector<KeyStroke> strokes = charactersOf(sixty);
        WaylandKeymap first = WaylandKeymap().nextFor(strokes, 0);
        QCOMPARE(first.characters().size(), WaylandKeymap::CharacterKeyCount);
        QVERIFY(!first.holds(sixty[48]));
        first.keyFor(U'C');
        first.keyFor(U'B');
        const WaylandKeymap second = first.nextFor(strokes, 48);
        const std::vector<char32_t> expectedStart{sixty.begin() + 48, sixty.end()};
        QVERIFY(std::equal(expectedStart.begin(), expectedStart.end(), second.characters().begin()));
        QCOMPARE(second.characters().size(), WaylandKeymap::CharacterKeyCount);
        QCOMPARE(second.characters()[12], U'B'); // the last typed first
        QCOMPARE(second.characters()[13], U'C');
    }
};

QTEST_GUILESS_MAIN(TestWaylandKeymap)
#include "tst_wayland_keymap.moc"
