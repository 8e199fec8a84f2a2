#pragma once
// Where the designer tells the main program that it closed a flow file. Both
// programs take the local-socket name from here, so they always agree. The main
// program's command line names its control socket the same per-user way.

#include <QString>

// The local-socket name for `baseName` that only this user's programs share.
// Elsewhere than on Windows a bare name would be a socket file in the shared
// temporary folder, where two users' programs would collide and one user could
// talk to another's; it is placed in the user's own runtime folder instead.
QString perUserSocketName(const QString& baseName);

// The bare server name; on Windows it names the pipe as it is.
extern const QString DesignerNotifyServerBaseName; // "DesignerOkNotifyServer217490"

// The name to listen on and to connect to: perUserSocketName() of the base name.
QString designerNotifyServerName();
