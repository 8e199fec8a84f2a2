#pragma once
// Once per start the main program asks the update server for the number of the
// latest released version and, when it is newer than its own, calls the receiver's
// onSetUpdateInfo(qint32) on the GUI thread. Nothing is downloaded or installed.
//
// The request never blocks the GUI and never delays quitting: it runs on a pool of
// its own that the application does not wait for at exit, every attempt is bounded
// by short time-outs, and quitting (or destroying the receiver) cancels it.

#include <QString>

#include <chrono>

class QObject;

// Version numbers are major * 100 + minor * 10 + patch.
constexpr int kCurrentVersion = 200; // V2.0.0

struct UpdateCheckOptions
{
    // "https://host:port"; empty turns the check off. Only https is accepted.
    QString server;
    // Tests only: a PEM file trusted instead of the system's trust store.
    QString caCertFile;
    // Pause after a failed attempt.
    std::chrono::milliseconds retryDelay{3000};

    // The built-in server, replaced by the settings value "UpdateServer" when it
    // exists, and by the environment variable KLIQORA_UPDATE_SERVER when it is set.
    static UpdateCheckOptions fromConfiguration();
};

// Starts the check with fromConfiguration() and returns at once. The result reaches
// receiver->onSetUpdateInfo(qint32) by a queued call, only for a newer version.
void startUpdateCheck(QObject* receiver);
void startUpdateCheck(QObject* receiver, const UpdateCheckOptions& options);

// The blocking request itself: up to three attempts, retryDelay apart. Returns the
// server's number (0 for a body that is not a number), or kCurrentVersion when every
// attempt failed or the check is off.
int fetchLatestVersion(const UpdateCheckOptions& options);
