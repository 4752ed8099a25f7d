// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

// The line settings of a port, parsed from the text the settings window builds:
// "baud,parity letter,data bits,stop bits", for example "9600,E,8,1".
struct SerialSettings
{
    enum class Parity
    {
        None,
        Odd,
        Even,
        Space,
        Mark
    };
    enum class StopBits
    {
        One,
        OneAndHalf,
        Two
    };

    qint32 baudRate = 9600;
    Parity parity = Parity::Even;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    // nullopt for a text the line cannot be set to (unknown letter, 9 data bits,
    // a baud rate that is not a positive number, missing fields).
    static std::optional<SerialSettings> parse(const QString& text);
    QString toString() const;
    // The parity's letter in a settings text ("E") and its word ("Even"), and
    // back; nullopt for a letter or word that names no parity. Letters are
    // taken in either case, words as written.
    static QString parityLetter(Parity parity);
    static QString parityName(Parity parity);
    static std::optional<Parity> parityFromLetter(const QString& letter);
    static std::optional<Parity> parityFromName(const QString& name);
    // Bits on the line for one character: start + data + parity + stop.
    double bitsPerCharacter() const;
};

// The serial facility the link talks through. One implementation drives a
// real device, LoopbackPort keeps everything in memory for tests, and the
// simulated bus lives behind another.
//
// Reads hand out one byte at a time; "bytesReceived" fires whenever new input
// is waiting, "ready" when a port that opened before it could carry anything
// now can, "deviceLost" once when an open device disappears (the port is
// closed by then, and errorString() says why).
class SerialPort : public QObject
{
    Q_OBJECT
public:
    // Why an open failed. The first three are the classic serial-control
    // error numbers the program reports with its fixed messages.
    enum class OpenError
    {
        None,
        InvalidPort,      // 8002: no such port
        PortBusy,         // 8005: already open, or held by another program
        DeviceNotOpen,    // 8012: the device exists but could not be opened
        PermissionDenied, // the device exists but we may not open it
        BadSettings,      // the device refuses the line settings
        Other,
    };
    Q_ENUM(OpenError)

    static constexpr int InvalidPortNumber = 8002;
    static constexpr int PortAlreadyOpenNumber = 8005;
    static constexpr int DeviceNotOpenNumber = 8012;
    // The classic error number for an OpenError, 0 where it has none.
    static int errorNumber(OpenError error);

    explicit SerialPort(QObject* parent = nullptr) : QObject(parent) {}

    // Name as the user chose it: "COM3", "/dev/ttyUSB0", "SIM", ...
    virtual void setPortName(const QString& name) { m_portName = name; }
    QString portName() const { return m_portName; }

    // Applies a settings text. false (and nothing changed) when it cannot be parsed
    // or an open device refuses it.
    virtual bool setSettings(const QString& text);
    QString settings() const { return m_settingsText; }
    SerialSettings lineSettings() const { return m_settings; }

    virtual OpenError open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True once what is written can reach the far end. A device is ready as
    // soon as it is open; a gateway only when its connection is made, and it
    // says so with "ready".
    virtual bool isReady() const { return isOpen(); }

    // Count of received bytes waiting to be read.
    virtual qint64 bytesWaiting() const = 0;
    // Fetches what the system has already received for the port but has not
    // handed on yet (its "bytes received" event still to come): a busy
    // program that looks for an answer must see the bytes that are there.
    virtual void takePending() {}
    // The latency timer of a USB serial adapter behind the port (ms), read as
    // it opened; nullopt for any other port.
    virtual std::optional<int> adapterLatencyMs() const { return std::nullopt; }
    // Whether the line is reached over a network (a serial-to-Ethernet
    // gateway), whose round trip adds to every answer.
    virtual bool isNetworkLink() const { return false; }
    // Takes the oldest waiting byte; nullopt when nothing waits or the port is closed.
    virtual std::optional<quint8> readByte() = 0;
    // Writes one block; false when the port is closed or the write fails.
    virtual bool write(const QByteArray& block) = 0;
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;

    // Buffer sizes the program asks for; implementations may treat them as hints.
    virtual void setBufferSizes(int inputSize, int outputSize)
    {
        m_inputBufferSize = inputSize;
        m_outputBufferSize = outputSize;
    }
    int inputBufferSize() const { return m_inputBufferSize; }
    int outputBufferSize() const { return m_outputBufferSize; }

    // Readable reason for the last failed open, for messages.
    QString errorString() const { return m_errorString; }

signals:
    void bytesReceived();
    void ready();
    void deviceLost();

protected:
    // Lets an implementation refuse settings its device cannot take.
    virtual bool applySettings(const SerialSettings&) { return true; }
    void setErrorString(const QString& text) { m_errorString = text; }

private:
    QString m_portName = QStringLiteral("COM1");
    QString m_settingsText = QStringLiteral("9600,E,8,1");
    SerialSettings m_settings;
    QString m_errorString;
    int m_inputBufferSize = 502;
    int m_outputBufferSize = 502;
};
