#pragma once

#include <QByteArray>

// The page the benchmarks type into in chromium: a text box that has the focus as soon as the page has it, and
// reports then (/ready); every half second in which its text changed it sends what it holds and the milliseconds
// from its first change to its last (/typed), so that what arrived is known even when the browser goes away.
inline const QByteArray TypingPage = R"(<!DOCTYPE html><meta charset="utf-8"><title>Typing</title>
<textarea id="box" autofocus cols="100" rows="30" spellcheck="false"></textarea>
<script>
const box = document.getElementById("box");
let first = 0, last = 0, reported = 0;
const send = (path, fields) => fetch(path + "?" + new URLSearchParams(fields));
box.addEventListener("input", () => {
    last = performance.now();
    first = first || last;
});
setInterval(() => {
    if (last !== reported) {
        reported = last;
        send("/typed", {text: box.value, ms: last - first});
    }
}, 500);
const waiting = setInterval(() => {
    box.focus();
    if (document.hasFocus()) {
        clearInterval(waiting);
        send("/ready", {});
    }
}, 100);
</script>)";
