#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A website's sign-in page for the end-to-end tests, and the steps that sign in to it.
namespace SignInWebsite {

inline const QString UserName = QStringLiteral("quillock.user@example.test");
// Quotes, every character the key-string syntax reserves, and characters typed with Shift on most layouts.
inline const QString Password = QStringLiteral("p'a\"s+s^%~(){}[]w<>?|:_@#$&*!");

// Its user name field has the focus as soon as it loads; the browser sends the form back as
// GET /login?username=...&password=...
inline const QByteArray Page = R"(<!DOCTYPE html><meta charset="utf-8"><title>Sign in</title>
<form action="/login"><input id="username" name="username" autofocus autocomplete="off">
<input name="password" type="password" autocomplete="off"><button>Sign in</button></form>
<script>document.getElementById("username").focus();</script>)";

// The statements that add the website with key 1 to a new data file, first in the list, with the link given (the
// page's address): its steps a wait of three seconds for the page, the user name, Tab, the password, Enter.
QStringList website(const QString& link);

// The second factor: the secret of its one-time codes, and the page that /login answers with, whose code field has
// the focus and is sent back as GET /code?code=...
inline const QString OneTimeCodeSecret = QStringLiteral("JBSWY3DPEHPK3PXP");
inline const QByteArray CodePage = R"(<!DOCTYPE html><meta charset="utf-8"><title>Code</title>
<form action="/code"><input id="code" name="code" autofocus autocomplete="off"><button>Go</button></form>
<script>document.getElementById("code").focus();</script>)";
// A script for a page that notes the shortest time between two of its keys (modifiers aside) in milliseconds, sent
// with its form as the field "gap" (empty until two keys came).
inline const QByteArray KeyGapScript = R"(<script>let last = 0; const form = document.forms[0];
const gap = form.appendChild(Object.assign(document.createElement("input"), {type: "hidden", name: "gap"}));
document.addEventListener("keydown", e => { const t = e.timeStamp;
  if (["Shift", "Control", "Alt", "AltGraph", "Meta"].includes(e.key)) return;
  if (last) gap.value = gap.value === "" ? String(Math.round(t - last)) : String(Math.min(+gap.value, Math.round(t - last)));
  last = t; }, true);</script>)";

// The same website with a second factor and a pause between its keys: after Enter, a wait of three seconds for the
// code page, the one-time code and Enter.
QStringList websiteWithOneTimeCode(const QString& link, int keyPauseMilliseconds);

} // namespace SignInWebsite
