#pragma once

#include <QString>

// The statements of a website's instructions.

// The instructions of a website joined with their event type names, in the order they were added; the key
// is the grid's text of it, as it stands.
QString ReplayInstructionsQuery(const QString& websiteId);

// The step every new website starts with: a wait of ten seconds (event type 4, "Wait").
QString FirstInstructionStatement(const QString& websiteId);
