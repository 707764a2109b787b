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

} // namespace SignInWebsite
