// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>
#include <optional>

// What a running-value reply (register block 0x0D) carries, decoded.
struct RunningValueReply
{
    quint8 address = 0;     // drive that answered
    quint8 index = 0;       // register low byte 0..28
    quint16 raw = 0;        // value bytes as unsigned 16 bits
    quint8 decimalCode = 0; // low 5 bits of byte 7
    float value = 0;        // raw x factor, single precision as the drive means it
};

// What a status reply (register 0x0E00) carries, decoded.
struct StatusReply
{
    quint8 address = 0;
    quint16 statusWord = 0;
    bool reverse = false; // byte 6 bit 2
    bool running = false; // byte 6 bit 4
    bool fault = false;   // byte 7 bit 5
    int faultNumber = 0;  // bits 5..12 of the status word
};

// A parameter reply (register high byte 0..10): group, index and raw value.
struct ParameterReply
{
    quint8 address = 0;
    quint8 group = 0;
    quint8 index = 0;
    quint16 raw = 0;
};

// The run commands of the main window, in the order the window numbers them; the
// link turns each into its command code (RunCommandCode).
enum class RunCommand : quint8
{
    None = 0,      // send nothing
    Forward,       // "FWD" at the forward frequency
    Reverse,       // "REV" at the reverse frequency
    JogForward,    // "JOG-F"
    JogReverse,    // "JOG-R"
    Stop,          // "STOP"
    SingleForward, // "FWD-S": single-drive mode only
    SingleReverse, // "REV-S": single-drive mode only
};

// The Modbus RTU link: one shared request state, frame building with CRC-16,
// the byte-by-byte receive assembler with its 1 ms drain, reply decoding, and
// the poll schedule and run-command table that the main window's timers step
// through. Decoded replies leave by signals; the windows do the showing.
class Hexedit : public QObject
{
    Q_OBJECT
public:
    explicit Hexedit(SerialPort& port, QObject* parent = nullptr);

    SerialPort& port() { return m_port; }

    // ---- request state; fields a request does not set keep the last request's value.
    // Public to be read (and set up by tests); the program sets them only
    // through the typed requests below.
    quint8 SlaveAddress = 0;
    quint8 FunctionCode = 0;
    quint8 RegisterHigh = 0;
    quint8 RegisterLow = 0;
    quint8 CommandCode = 0;
    quint8 ValueHigh = 0;
    quint8 ValueLow = 0;
    quint8 CrcLow = 0;
    quint8 CrcHigh = 0;
    QByteArray TxFrame;

    // ---- receive state
    std::array<quint8, 21> RxBuffer{};
    quint8 RxIndex = 0;
    quint8 RxCrcLow = 0;
    quint8 RxCrcHigh = 0;

    // Scale of the parameter last shown by the parameter window; empty for a
    // reserved parameter (and before any parameter was shown).
    std::optional<double> ParameterScale;
    void SetParameterScale(std::optional<double> scale) { ParameterScale = scale; }

    // Address of the last frame that actually went out; nullopt before any did.
    std::optional<quint8> LastRequestAddress() const { return m_lastRequestAddress; }

    // Forgets what was learnt of the line (the drive last addressed, whether the
    // adapter echoes); called when the port opens or closes.
    void ResetLine();

    // ---- request side
    // CRC-16/MODBUS over the whole array into CrcLow/CrcHigh.
    void CalcRequestCrc(const QByteArray& frame);
    // 8-byte frame: address, function, register, the two given bytes, CRC.
    void BuildShortFrame(quint8 fourth, quint8 fifth);
    // The same frames as finished byte arrays, for those that build requests
    // without the shared request state.
    static QByteArray ShortFrame(quint8 address, quint8 function, quint16 reg, quint16 word);
    // The function-16 control write: command code and set-point (0.01 Hz).
    static QByteArray ControlFrame(quint8 address, quint8 command, quint16 setpoint,
                                   quint16 reg = 0x2000);
    // Sets up a function-16 control write. Returns false, and leaves the request
    // marked unsendable, when the value is not a frequency that fits 0..655.35 Hz.
    bool PrepareControlWrite(quint8 address, quint8 command, const QString& value);
    // Builds the frame for FunctionCode and writes it, or, while a drive is
    // still expected to answer the last frame, queues it to go out after that
    // answer. For function 6 the value text is converted with ParameterScale.
    // Returns true when the frame was written or queued. The answer is
    // assembled from the start of RxBuffer: RxIndex is reset as it goes out.
    bool SendRequest(const QString& parameterValue = QString());
    // ---- typed requests: each sets the request fields itself
    // Reads one register (function 3, count 0 as the drives take it). Like
    // every request it may have to wait for the answer coming in now, which it
    // leaves alone: RxIndex is reset only as the request goes out.
    bool SendRead(quint8 address, quint16 reg);
    // Reads parameter group.index of a drive.
    bool SendParameterRead(quint8 address, quint8 group, quint8 index);
    // Writes parameter group.index (function 6), the value text converted with
    // ParameterScale. Returns false, sending nothing, for address 0 or a value
    // that does not convert.
    bool SendParameterWrite(quint8 address, quint8 group, quint8 index, const QString& valueText);
    // The control write for a run command at the given frequency text.
    bool SendControlWrite(quint8 address, RunCommand command, const QString& frequency);
    // Tells every drive on the line to stop (address 0; nobody answers).
    bool SendBroadcastStop();
    // Sends a finished frame for the link client, taking its turn like any
    // other request. The request state and the drive that run commands follow
    // are left as they are: a tool reading another drive must not redirect the
    // user's commands there.
    bool SendFrame(const QByteArray& frame);
    // The same for the link client: the frame gets a ticket (0: not taken) by
    // which the client knows it on the wire, and a waiting frame of the client
    // is never replaced by a newer poll of the main window's, nor replaces one.
    // A frame may bring its own answer time-out (ms; 0: the link's own), as
    // the scan does to pass over a silent address at the port's own pace.
    quint64 SubmitFrame(const QByteArray& frame, int timeoutMs = 0);
    // Drops a frame of the client's that is still waiting for its turn.
    bool WithdrawFrame(quint64 ticket);
    // Changes what a frame of the client's still waiting for its turn will
    // say, keeping its ticket: a renewed command takes the place of the one
    // that has not gone yet instead of queueing behind it. A stop goes in
    // front of everything, as a new one does. False (nothing changed) for
    // ticket 0, or once the ticket's frame has gone or was dropped.
    bool ReplaceWaitingFrame(quint64 ticket, const QByteArray& frame);
    // Whether the ticket's frame still waits for its turn.
    bool IsWaiting(quint64 ticket) const;
    // Ticket of the frame on the wire; 0 for the windows' own frames.
    quint64 OnWireTicket() const { return m_onWireTicket; }

    // ---- taking turns on the half-duplex line
    enum class FrameKind
    {
        Command,
        Monitor,
        Other
    };
    static FrameKind KindOf(const QByteArray& frame);
    // How long the answer to a frame may take at the port's line settings: its
    // bytes and the answer's, 3.5 characters of silence, the drive's response
    // delay and an allowance for adapters; never below 20 ms. A drive that has
    // answered before gets more where its answers took longer (up to 1.2 s).
    int AnswerTimeoutMs(const QByteArray& frame) const;
    // The same for a drive not heard yet: what "answers after the time-out"
    // is measured against.
    int PlainAnswerTimeoutMs(const QByteArray& frame) const;
    // Once that time has passed in silence, how much longer the line stays
    // quiet before the next frame, so that a late answer is heard out, not
    // talked over: 3.5 characters for an address that never answered (the
    // scan stays fast; what the line has been silent of them since the
    // request's last byte or the last byte heard is not waited again), the
    // whole answer allowance again for one that did.
    int QuietAfterTimeoutMs(const QByteArray& frame) const;
    // How long an address must stay silent on this port before it is taken
    // for empty: until the first byte of an answer after the response delay
    // would be in and 3.5 characters more, plus what the port itself holds
    // answers back (a USB
    // adapter's latency timer with the usual allowance, a gateway's measured
    // round trip); a pseudo-terminal or a built-in UART adds nothing.
    int SilentAllowanceMs(const QByteArray& frame) const;
    // Registers asked by a standard multi-register read (function 3 with a
    // count of 1..125); 0 for any other frame, the dialect's single reads too.
    static int BlockCountOf(const QByteArray& frame);
    // What the answers of a drive took lately (rising at once, falling
    // slowly); nullopt for an address that has not answered on this line.
    std::optional<double> AnswerTimeMs(quint8 address) const;
    void SetResponseDelayMs(int ms);
    int ResponseDelayMs() const;
    // Whether the last frame's answer is still expected (or, after its
    // time-out, the line is kept quiet for a late one).
    bool AwaitingAnswer() const;
    // Whether the line has shown whether it echoes our own requests (it does
    // with some two-wire adapters). Until then a frame with the very bytes of
    // a parameter read is taken as the answer: a parameter at 0 answers so.
    bool LineEchoKnown() const { return m_lineEchoes || m_answersFirst; }
    // Milliseconds of a steady clock; tests put a manual one here.
    std::function<double()> clock;
    // Requests queued behind it.
    int WaitingRequests() const;

    // ---- receive side
    void ReceiveByte(quint8 byte);
    // CRC over RxBuffer[0 .. RxIndex-2] into RxCrcLow/RxCrcHigh.
    void CalcReceiveCrc();
    void DecodeResponse();
    // The 1 ms drain timer that takes the rest of a burst one byte per tick.
    QTimer& DrainTimer() { return m_drainTimer; }

    // ---- request sequencing
    // Items in one round of the poll schedule, per drive (checked against the
    // schedule itself).
    static constexpr int PollItemCount = 28;
    // Register read by a poll item; nullopt for an item outside 0..27.
    static std::optional<quint16> PollRegister(int pollItem, int faultRecordSelect,
                                               int lastErrorValueSelect);
    // Reads the item's register from the address (an item outside 0..27 keeps
    // the previous register).
    bool SendPollRequest(quint8 address, int pollItem, int faultRecordSelect = 0,
                         int lastErrorValueSelect = 0);
    // Command code of a run command, 0 for None.
    static quint8 RunCommandCode(RunCommand command);
    enum class CommandOutcome
    {
        Sent,
        SentToEveryDrive, // STOP with no one drive to name: the line's broadcast stop
        NoDrive,          // a run command with no one drive to name: nothing sent
        NothingToSend,    // NONE, or FWD-S/REV-S outside single-drive mode
        NotSent,          // no frequency that fits, or the port would not take it
    };
    // Sends the control write for a run command; what the main window shows is
    // handed in.
    CommandOutcome SendPendingCommand(RunCommand pendingCommand, bool singleMachine,
                                      quint8 singleAddress, const QString& forwardFrequency,
                                      const QString& reverseFrequency);

    // ---- conversions (no state)
    // Control write: "##0.00" (half away from zero), x100, half to even.
    static std::optional<quint16> ControlSetpoint(const QString& value);
    // Parameter write: value / scale rounded half to even; nullopt when the text is
    // not a number, the scale is empty, or the result falls outside 0..65535.
    static std::optional<quint16> ParameterRaw(const QString& value, std::optional<double> scale);
    // Factor of a running-value decimal code: 0.1, 0.01, 0.001 or 1.
    static float RunningFactor(quint8 decimalCode);
    // What a whole running-value or status reply says (its ten bytes, CRC
    // included); the link's signals and the tools that read these themselves
    // decode them alike.
    static RunningValueReply DecodeRunningValue(const quint8* reply);
    static StatusReply DecodeStatus(const quint8* reply);
    static RunningValueReply DecodeRunningValue(const QByteArray& reply)
    {
        return DecodeRunningValue(reinterpret_cast<const quint8*>(reply.constData()));
    }
    static StatusReply DecodeStatus(const QByteArray& reply)
    {
        return DecodeStatus(reinterpret_cast<const quint8*>(reply.constData()));
    }
    // CRC-16/MODBUS of a byte range; the low byte goes first on the wire.
    static quint16 Crc16(const quint8* data, qsizetype length);
    // The frame body with its CRC appended, low byte first.
    static QByteArray WithCrc(QByteArray body);

public slots:
    // The port's "bytes received" event: hands on one byte and starts the drain.
    void OnBytesReceived();
    // One tick of the drain timer.
    void DrainTick();
    // The answer time-out passed: the line is free for the next request.
    void AnswerTimer_Timer();

signals:
    // Text to append to the traffic log ("1 3 E " for bytes, "\r\n" after a frame).
    void trafficLog(const QString& text);
    // A receive event was handled (the windows light their lamps).
    void receiveEvent();
    void frameSent(const QByteArray& frame);
    void runningValueReceived(const RunningValueReply& reply);
    void statusReceived(const StatusReply& reply);
    void parameterReceived(const ParameterReply& reply);
    // A Modbus exception reply (function 0x83, 0x86 or 0x90, five bytes).
    void exceptionReceived(quint8 address, quint8 function, quint8 code);
    // The answer to the frame on the wire came in (answer: the whole frame).
    void answerReceived(const QByteArray& request, const QByteArray& answer);
    // The frame on the wire had no answer in time. strayBytes: bytes heard
    // meanwhile that made no valid frame (a damaged answer, as a rule). This
    // is what "the drive did not answer" means everywhere in the program.
    void answerTimedOut(const QByteArray& request, int strayBytes);
    // An answer came after its request's time-out: while the line was kept
    // quiet for it (answerReceived follows too), or once the line had been
    // handed on (timedOut true: answerTimedOut was already said of it).
    void lateAnswerReceived(const QByteArray& request, const QByteArray& answer, bool timedOut);
    // What was on the wire and waiting was forgotten (port opened or closed).
    void lineReset();

private:
    // Whether the frame just completed is the line's echo of our own request.
    bool isLineEcho();
    // Whether the frame just completed has the very bytes of the last request.
    bool isOwnRequest() const;
    // Whether the frame just completed fits the kind of reply it claims to be.
    bool hasReplyShape() const;
    bool isAnswerTo(const QByteArray& request) const;
    int answerTimeoutMs(const QByteArray& frame, bool learnt) const;
    struct Waiting
    {
        QByteArray frame;
        quint64 ticket = 0; // the client's frames only
        int timeoutMs = 0;  // 0: the link's own
    };
    bool transmit(const QByteArray& frame, bool followed = true, quint64 ticket = 0,
                  int timeoutMs = 0);
    // Reads what the port already holds into the assembler (bounded).
    void takeWaitingBytes();
    void learnAnswerTime(quint8 address, double ms);
    void endWait();
    // Whether the frame just completed is an exception reply; reports it.
    bool takeException();
    // The answer to a standard multi-register read, assembled apart from the
    // given receive buffer, which holds no more than 21 bytes.
    void receiveBlockByte(quint8 byte);
    bool blockOnWire() const { return m_awaiting && BlockCountOf(m_onWire) > 0; }
    bool writeNow(const Waiting& frame);
    void answerArrived(const QByteArray& answer);
    void sendNextWaiting();

    SerialPort& m_port;
    QTimer m_drainTimer;
    QTimer m_answerTimer;
    // The frame last written, whose answer is awaited, and those queued behind it.
    QByteArray m_onWire;
    quint64 m_onWireTicket = 0;
    quint64 m_lastTicket = 0;
    quint64 m_framesWritten = 0;
    std::deque<Waiting> m_waiting;
    QByteArray m_blockRx; // the answer to a multi-register read, so far
    bool m_awaiting = false;
    // The time-out of the frame on the wire has passed; the line is quiet for
    // a late answer.
    bool m_pastTimeout = false;
    double m_sentAtMs = 0;
    double m_lastHeardMs = -1; // when the last byte came in, whatever it made
    // The last frame whose time-out was said, while its answer may yet come.
    QByteArray m_timedOut;
    // A frame with the very bytes of the request, on a line not yet known to
    // echo or not: the answer unless something else follows.
    QByteArray m_sameAsRequest;
    double m_timedOutSentAtMs = 0;
    std::array<double, 256> m_answerMs{}; // 0: never answered
    QElapsedTimer m_steady;
    // The drives' factory setting of their response delay, until told otherwise.
    int m_responseDelayMs = 5;
    int m_answerExtensionsLeft = 0;
    int m_answerProgress = 0; // bytes of the answer in by the last extension
    bool m_controlValueValid = false;
    // Address of the last frame that went out, if any did.
    std::optional<quint8> m_lastRequestAddress;
    // A two-wire adapter that hears its own requests: learnt from an echo no
    // drive could have sent, or from a parameter read coming back before its
    // answer; forgotten when an answer comes first again.
    bool m_lineEchoes = false;
    // Whether an answer was seen to come first after a request: until then a
    // frame with the very bytes of the request may be its echo.
    bool m_answersFirst = false;
    // Complete frames since the last send, and whether the first was our request.
    int m_framesSinceSend = 0;
    // Bytes since the last send that have not (yet) made a complete frame.
    int m_strayBytes = 0;
    bool m_firstWasOwnRequest = false;
};
