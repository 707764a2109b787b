#pragma once

#include "domain/data/StatementText.h"

#include <QString>

// Permissions that the desktop granted the program and handed over as a token, so that it need not ask the user
// again (the desktop portal's consent to type). Each is kept under a name of its own, its token enciphered like
// the other stored texts.

// The name under which the desktop portal's consent to type is kept.
inline const QString RemoteDesktopPermission = QStringLiteral("RemoteDesktop");

// The enciphered token of the permission (one column), no row when none is kept.
QString DesktopPermissionQuery(const QString& name);
// Keeps the token, enciphered, in place of any kept before; an empty token forgets the permission.
QString KeepDesktopPermissionStatement(const QString& name, const QString& token, const TextEncipherment& encipher);
