// Link placeholders for functions of the character motion (physics) and of the warp command (object
// commands) that the status operation and the expression language call but that are built
// elsewhere. pending_links.cpp defines each one weakly: the real definition replaces it as soon as
// it is linked, and the placeholder only counts its calls. A test whose outcome depends on what
// such a function really does checks WaitsForPendingLink() after the operation and skips while a
// placeholder answered. Remove both files once every function below has its real definition.
#pragma once

// Resets the count of placeholder calls.
void ResetPendingLinkCalls();
// A placeholder was called since the last reset.
bool WaitsForPendingLink();
