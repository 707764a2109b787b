#pragma once

#include <QString>

class Recordset;

// What stands in the way of launching a website, checked on the whole website before anything opens or is typed,
// as the message the user is shown; empty when nothing does. A website needs a link, steps of known types only,
// counts within their limits (domain/steps/StepLimits.h), texts whose every character the desktop's keyboard
// can type (raises AppError, as sendKeys does, when no keys can be sent at all), and every stored step among
// those read: storedSteps
// is how many the website has, instructions the steps a replay reads (rewound to the first when it ends).
QString launchProblem(const QString& link, Recordset& instructions, int storedSteps);
