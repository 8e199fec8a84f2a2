#pragma once
// The few places where Qt 5.15 and Qt 6 offer no API in common, each behind one name,
// so the rest of Kliqora is written in the API both share. Header only.

#include <QCoreApplication>
#include <QDropEvent>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QSettings>
#include <QVariant>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QMetaType>
#endif

namespace QtCompat {

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
// The result argument of QAbstractNativeEventFilter::nativeEventFilter.
using NativeEventResult = qintptr;
#else
using NativeEventResult = long;
#endif

// Key and modifiers of one key of a sequence, as one int (Qt 6 returns a QKeyCombination).
inline int keyCombination(const QKeySequence& sequence, int index)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return sequence[uint(index)].toCombined();
#else
    return sequence[uint(index)];
#endif
}

// Where the event happened, in screen coordinates.
inline QPoint globalPosition(const QMouseEvent* event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

// Where the pointer entered, in the entered widget's coordinates.
inline QPoint enterPosition(const QEnterEvent* event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position().toPoint();
#else
    return event->pos();
#endif
}

// Where a drag is over or drops, in the receiving widget's coordinates.
inline QPoint dropPosition(const QDropEvent* event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position().toPoint();
#else
    return event->pos();
#endif
}

// Converts in place to the type with meta-type id typeId; false when it cannot.
inline bool convertVariant(QVariant& value, int typeId)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return value.convert(QMetaType(typeId));
#else
    return value.convert(typeId);
#endif
}

// The folder of Qt's own translations (qt_*.qm).
inline QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// Scales windows by the screen's DPI (always on in Qt 6). Before the application object.
inline void enableHighDpiScaling()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
}

// INI settings files in UTF-8, the only encoding Qt 6 knows. Qt 5 otherwise writes
// \x escapes and reads a Qt 6 build's file as Latin-1. Escaped files load either way.
inline void useUtf8IniFile(QSettings& settings)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    settings.setIniCodec("UTF-8");
#else
    Q_UNUSED(settings);
#endif
}

} // namespace QtCompat
