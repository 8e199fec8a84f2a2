#pragma once
// How a stand-in portal answers a request, as xdg-desktop-portal does: the call
// returns the request object's path (made of the caller's name and its handle
// token), and the result follows as that object's Response signal.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

void answerPortalRequest(const QDBusMessage& call, const QDBusConnection& connection, uint response,
                         const QVariantMap& results);
