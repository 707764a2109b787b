#pragma once

#include "app/HandlerGuard.h"
#include "app/basModule1.h"
#include "platform/screen/Screen.h"

// Ends a unit of database work however it leaves its scope: closes the shared connection (a failure to
// close is ignored) and sets the mouse pointer back to the default.
class UnitOfWorkEnd
{
public:
    UnitOfWorkEnd() = default;
    ~UnitOfWorkEnd()
    {
        IgnoreFailures(CloseConnection); // a connection that is gone already needs no closing
        Screen::setMousePointer(Screen::vbDefault);
    }
    UnitOfWorkEnd(const UnitOfWorkEnd&) = delete;
    UnitOfWorkEnd& operator=(const UnitOfWorkEnd&) = delete;
};
