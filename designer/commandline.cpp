#include "commandline.h"

QString designerFilePathFromArguments(const QStringList& arguments)
{
    const int flag = arguments.indexOf(QStringLiteral("-f"));
    if (flag < 0 || flag + 1 >= arguments.size())
        return QString();
    return arguments.at(flag + 1);
}
