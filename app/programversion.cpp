#include "programversion.h"

#include "updatecheck.h"

QString versionText(int version)
{
    return QStringLiteral("%1.%2.%3")
        .arg(version / 100)
        .arg((version % 100) / 10)
        .arg(version % 10);
}

QString programVersionText()
{
    return versionText(kCurrentVersion);
}
