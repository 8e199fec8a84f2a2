#pragma once
// System-wide hotkeys with the public API of the QHotkey library (the subset
// Kliqora uses), so the rest of the code reads as if that library were linked.

#include <QKeySequence>
#include <QObject>

class QHotkey : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool registered READ isRegistered WRITE setRegistered NOTIFY registeredChanged)
    Q_PROPERTY(QKeySequence shortcut READ shortcut WRITE setShortcut RESET resetShortcut)

public:
    explicit QHotkey(QObject* parent = nullptr);
    explicit QHotkey(const QKeySequence& shortcut, bool autoRegister = false,
                     QObject* parent = nullptr);
    ~QHotkey() override;

    bool isRegistered() const;
    QKeySequence shortcut() const;

    // Whether this system can register hotkeys at all.
    static bool isPlatformSupported();

    // Kliqora's addition: what the key does, in the user's words. Desktops that list
    // the keys of their programs (the GlobalShortcuts portal) show it.
    QString description() const;
    void setDescription(const QString& description);

public slots:
    // Registration follows the flag: with autoRegister the new key is registered at once.
    bool setShortcut(const QKeySequence& shortcut, bool autoRegister = false);
    bool resetShortcut();
    bool setRegistered(bool registered);

signals:
    void activated(QPrivateSignal);
    void released(QPrivateSignal);
    void registeredChanged(bool registered);
    // Kliqora's addition: the system refused the key after setRegistered(true) had
    // returned true (a desktop that binds keys later, once its user has answered);
    // isRegistered() is false again.
    void refused(QPrivateSignal);

private:
    friend class HotkeyRegistry;

    // Called by the registry on the GUI thread.
    void deliverActivated();
    void deliverReleased();
    void registrationLost();
    void refuse();

    QKeySequence m_shortcut;
    QString m_description;
    bool m_registered = false;
};
