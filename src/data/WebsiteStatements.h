#pragma once

#include <QString>

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
// Puts a website at a place in the list; the key is the grid's text of it, as it stands.
QString WebsiteListOrderStatement(int position, const QString& websiteId);
