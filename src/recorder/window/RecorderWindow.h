// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Recording.h"
#include "TraceStore.h"

#include <QTimer>
#include <QWidget>

class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class RecorderChart;
class SiteFolder;
class SiteNote;

// The recorder: pick drives and values, record them into the chart and, when
// chosen, a CSV file; a trip writes its snapshot file. A recorded file can be
// opened again into the chart.
class RecorderWindow : public QWidget
{
    Q_OBJECT
public:
    RecorderWindow(LinkClient& client, Prompter& prompter, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    Recording& recording() { return m_recording; }
    RecorderChart* chart() { return m_chart; }
    // Opens a recorded file into the chart; false with a message shown.
    bool openFile(const QString& path);
    // What the controls ask for; error set when they ask for nothing sensible.
    std::optional<Recording::Options> options(QString* error) const;

    QLineEdit* drives = nullptr;
    QListWidget* values = nullptr;
    QComboBox* interval = nullptr;
    QCheckBox* writeCsv = nullptr;
    QLineEdit* csvPath = nullptr;
    QPushButton* browse = nullptr;
    QLineEdit* snapshotDir = nullptr;
    QSpinBox* snapshotBefore = nullptr;
    QPushButton* record = nullptr;
    QPushButton* openCsv = nullptr;
    QCheckBox* follow = nullptr;
    QPushButton* showAll = nullptr;
    QLabel* status = nullptr;
    QLabel* destination = nullptr;
    SiteNote* siteNote = nullptr;

    // While a site is open (nullptr: none), each recording goes into a new
    // file of its recordings folder and trip snapshots beside them, without
    // a file name asked; line: the site's line the drives are on.
    void setSite(SiteFolder* site, const QString& line);
    // The drives to record, as given.
    void setDrives(const QList<quint8>& list);
    // Where the recording the controls ask for will be kept, in words.
    QString destinationText() const;

public slots:
    void record_Click();

private:
    void onStopped(const QString& message);
    void setRecordingState(bool on);
    void showDestination();
    // A new time-named file beside the one proposed last, into the file field.
    void proposeNewFile();

    void warn(const QString& text);
    // A new file of the site for the recording of these drives; empty (and
    // why) when none could be made.
    QString newSiteFile(const QList<quint8>& drives, QString* error) const;
    QString siteDestinationText() const;

    Prompter& m_prompter;
    Recording m_recording;
    TraceStore m_opened;
    RecorderChart* m_chart = nullptr;
    QTimer m_refresh;
    QString m_recordingInto;
    QString m_proposed; // the time-named file this window offered last
    SiteFolder* m_site = nullptr;
    QString m_siteLine;
};
