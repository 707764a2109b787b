#pragma once

#include <QString>
#include <optional>

// The statements of the website list.

// Every website, in list order; a website never placed in the list (Null order) comes first.
QString WebsiteListQuery();
// Key, name and link of one website.
QString WebsiteRowQuery(double websiteId);
// The key of the website added last.
QString NewestWebsiteKeyQuery();
// A website goes with its instructions, which go first so that none is ever left without its website.
QString DeleteWebsiteInstructionsStatement(double websiteId);
QString DeleteWebsiteStatement(double websiteId);
// How many websites have the key (0 or 1): whether a website is still there; the key is the grid's text of it.
QString WebsiteCountQuery(const QString& websiteId);
// Puts a website at a place in the list; the key is the grid's text of it, as it stands.
QString WebsiteListOrderStatement(int position, const QString& websiteId);

// The website editor's statements; the values come as TextValue / EncipheredValue make them.
QString WebsiteEditorQuery(double websiteId);
QString UpdateWebsiteStatement(const QString& nameValue, const QString& linkValue, double websiteId);
QString InsertWebsiteStatement(const QString& nameValue, const QString& linkValue);
// Places a new website after every other: one more than the largest list order (1 when none has one), so that it
// stays where it was shown, last, after the next start.
QString NextListOrderStatement(const QString& websiteId);
// The re-enciphering pass: every website's key, name and link; and the statement that stores one website's
// name and link, both given as they are to be stored (quotes are doubled here). A website without a link
// gets its name only, so that its link stays Null.
QString ReencipherWebsitesQuery();
QString ReencipherWebsiteStatement(const QString& name, const std::optional<QString>& link, double websiteId);

// The website's pause between keys, in milliseconds; the key is the grid's text of it. The statement that sets it.
QString WebsiteKeyPauseQuery(const QString& websiteId);
QString WebsiteKeyPauseStatement(int milliseconds, const QString& websiteId);

// The key the database gave the row inserted last on the connection.
QString IdentityQuery();
