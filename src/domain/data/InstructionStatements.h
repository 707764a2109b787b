#pragma once

#include <QString>

// The statements of a website's instructions. Website keys given as text are the main grid's text of the key,
// as it stands; values come as TextValue / EncipheredValue make them.

// Every statement below that reads instructions with their names reads those whose event type was deleted too:
// their EventTypeID is Null and their EventType this name.
inline const QString MissingEventTypeName = QStringLiteral("(missing)");

// The instructions of a website joined with their event type names, in the order they were added.
QString ReplayInstructionsQuery(const QString& websiteId);

// The instruction list of a website: at most 500 rows, in the database's order, joined with the website's
// name and the event type's name.
QString InstructionListQuery(const QString& websiteId);
// One row of the list by the instruction's key; the instruction editor reads its record with it too.
QString InstructionRowQuery(double instructionId);
// How many instructions the website has, whatever their event types.
QString InstructionCountQuery(const QString& websiteId);
// How many instructions have the event type.
QString InstructionsOfEventTypeQuery(double eventTypeId);
// The key of the instruction added last, whatever its website.
QString NewestInstructionKeyQuery();
QString DeleteInstructionStatement(double instructionId);

// The event types an instruction can have, in the database's order.
QString EventTypeChoicesQuery();

QString UpdateInstructionStatement(const QString& websiteId, const QString& eventTypeId, const QString& numberValue,
                                   const QString& textValue, double instructionId);
QString InsertInstructionStatement(const QString& websiteId, const QString& eventTypeId, const QString& numberValue,
                                   const QString& textValue);

// The step every new website starts with: a wait of ten seconds (the key a new data file gives "Wait").
QString FirstInstructionStatement(const QString& websiteId);
