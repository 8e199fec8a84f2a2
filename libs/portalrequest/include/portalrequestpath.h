#pragma once

// A portal call that asks the user or the desktop something answers on a Request
// object whose path the caller can compute in advance from its own bus name and a
// token it chooses. Listening there before the call is the only way not to miss an
// answer that arrives before the call returns.

#include <QString>

#include <atomic>

namespace portalrequest {

// A token unique within this process, starting with `prefix` (portals accept
// letters, digits and underscores).
inline QString newHandleToken(const QString& prefix)
{
    static std::atomic<int> counter{0};
    return prefix + QString::number(++counter);
}

// The path the portal gives the request made with `token` by the connection named
// `sender` (":1.42" -> "1_42").
inline QString requestPath(const QString& sender, const QString& token)
{
    QString name = sender.mid(1);
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + name + QLatin1Char('/') +
           token;
}

} // namespace portalrequest
