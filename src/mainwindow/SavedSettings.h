// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class demo;
class QSettings;

// What the main window keeps between runs: the port and its line settings,
// the gateways used, both rhythms, the drive mode and addresses, the skin
// colour and the window's place. Kept in an INI file in the platform's usual
// place (on Linux ~/.config/vfdtool/vfdtool.conf); tests give a file of their own.
//
// With no file the window stays exactly as it starts. A file that cannot be
// read, is damaged, or was not written by this program is left unused: the
// window starts as it would without one and its status bar says so once.
class SavedSettings : public QObject
{
    Q_OBJECT
public:
    static QString defaultLocation();

    explicit SavedSettings(const QString& filePath, QObject* parent = nullptr);

    QString filePath() const { return m_filePath; }

    // Puts what was kept into the window. false when there was nothing to use.
    bool restore(demo& window);
    // Writes what the window shows now, replacing the file in one step.
    // false (and the old file left alone) when it cannot be written.
    bool store(demo& window);
    // From now on writes the window's state a moment after the user changes
    // something kept, and when the program quits.
    void watch(demo& window);
    // Removes the file, so the next start is a first start. false when a file
    // is there and stays.
    bool forget();

    // The language chosen in the window's menu and kept in the file: "" when
    // none is (the system's language then), or the file cannot be read. Asked
    // before any window is built, so that they are built in that language.
    static QString keptLanguage(const QString& filePath);

    // Says in the window's status bar when its port is not there now (an
    // adapter unplugged); the port stays chosen all the same.
    static void reportMissingPort(demo& window);
    // Whether the port name stands for something present now. Gateways and
    // the simulated drives count as present: only opening can tell.
    static bool portIsPresent(const QString& name);

private:
    void storeSoon();
    static bool writeKept(QSettings& s, demo& window);

    QString m_filePath;
    QPointer<demo> m_window;
    QTimer m_delay;
};
