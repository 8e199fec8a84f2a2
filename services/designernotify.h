#pragma once
// Where the designer tells the main program that it closed a flow file. Both
// programs take the local-socket name from here, so they always agree.

#include <QString>

// The bare server name; on Windows it names the pipe as it is.
extern const QString DesignerNotifyServerBaseName; // "DesignerOkNotifyServer217490"

// The name to listen on and to connect to. Elsewhere a bare name would be a socket
// file in the shared temporary folder, where two users' programs would collide and
// one user could take over another's notices; it is placed in the user's own
// runtime folder instead.
QString designerNotifyServerName();
