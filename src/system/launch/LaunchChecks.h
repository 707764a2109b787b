#pragma once

#include <QString>

class Recordset;

// What stands in the way of launching a website, checked on the whole website before anything opens or is typed,
// as the message the user is shown; empty when nothing does. A website needs a link, steps of known types only
// (none whose event type was deleted), counts within their limits (domain/steps/StepLimits.h), texts that can be
// deciphered and whose every character the desktop's keyboard can type (raises AppError, as sendKeys does, when no
// keys can be sent at all), and at most as many steps as a replay reads: storedSteps is how many the website
// has, instructions the steps a replay reads (rewound to the first when it ends).
QString launchProblem(const QString& link, Recordset& instructions, int storedSteps);
