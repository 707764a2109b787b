#pragma once

#include "os/focus/WindowFocus.h"
#include "os/keys/KeySender.h"

#include <QString>

// The program's keystroke facility: key strings (see KeyString.h) typed into the focused window.

// Queues the keys of the key string for the window that has the keyboard focus and returns at once.
// Raises AppError when the string breaks the syntax or no keys can be sent on this desktop.
void sendKeys(const QString& keyString);

// As sendKeys, but each key only while the window (named by the session's window focus) has the keyboard focus,
// checked at the moment of the key where the session allows it (Keys::KeySender::sendOnlyInto). False, with that
// key and those after it not sent, when the window did not have it.
bool sendKeysOnlyInto(const QString& keyString, Focus::WindowId window);

// Tells the keystroke facility the keys of the key string that the next sends will type a few at a time, so that
// it can get ready for all of them at once (Keys::KeySender::expect). Raises AppError as sendKeys does.
void expectKeys(const QString& keyString);

// Whether sendKeysOnlyInto checks the window at the moment of the keys on this desktop (else only the caller's own
// check just before is there). Raises AppError as sendKeys does when no keys can be sent on this desktop.
bool keysAreCheckedAtTheWindow();

// The key string that types the character as itself: the syntax's reserved characters come braced.
QString literalKeyString(QChar character);
// The key string that types the text as itself, character by character.
QString literalKeyString(QStringView text);

// The first character of the text that this desktop's keyboard cannot type (some sessions drop such a character
// without a word); empty when it can type them all. Raises AppError as sendKeys does when no keys can be
// sent on this desktop.
QString firstUntypableCharacter(const QString& text);

// Gets the keystroke facility ready to type, before a launch opens the browser: some desktops ask the user's
// consent first (Keys::Preparation). Raises AppError, saying why, when the desktop refuses or no keys can be sent;
// an exception thrown by preparation.whileWaiting passes unchanged.
void prepareKeys(const Keys::Preparation& preparation);
