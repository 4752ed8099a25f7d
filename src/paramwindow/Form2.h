// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QPalette>
#include <QWidget>
#include <optional>

class Hexedit;
class Lamp;
class Prompter;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
struct ParameterReply;
struct PasswordLock;

// The parameter window "Attribute": pick a group and an index, read the
// parameter from the drive at the address in Combo3, see its value and
// catalogue attributes, and write a new value back with "Enter".
class Form2 : public QWidget
{
    Q_OBJECT
public:
    Form2(Hexedit& link, Prompter& prompter, PasswordLock& lock, QAction& dataSetMenu,
          QWidget* parent = nullptr);

    // True once Combo2 holds the indices of the group in Combo1; an index pick
    // reads only while it is.
    bool ListReady = false;

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    QComboBox* Combo2;
    QLabel* Label10;
    QLineEdit* Text1;
    QLabel* Label3;
    QPlainTextEdit* Text6;
    QLabel* Label9;
    QComboBox* Combo3;
    QLabel* Label11;
    QLabel* Label8;
    Lamp* Shape1;
    QGroupBox* Frame2;
    QLineEdit* Text2;
    QLabel* Label4;
    QLineEdit* Text3;
    QLabel* Label5;
    QLineEdit* Text4;
    QLabel* Label6;
    QLineEdit* Text5;
    QLabel* Label7;
    QPushButton* Command1;
    QPushButton* Command4;
    QPushButton* Command2;
    // The receive drain belongs to the link so that it runs with or without
    // this window; this is the same timer, not a second one.
    QTimer* Timer1;
    // Where the window says that the drive did not answer the last read
    // (empty otherwise).
    QLabel* NoAnswerLabel;
    // What became of the last write: written, refused by the drive, or no
    // answer (empty until "Enter" sends one).
    QLabel* WriteResultLabel;

    // What became of a write "Enter" sent: the drive echoed it, refused it
    // (an exception, or an echo of another value), or did not answer.
    enum class WriteOutcome
    {
        Written,
        Refused,
        NoAnswer
    };
    Q_ENUM(WriteOutcome)

public slots:
    void Combo1_Click();
    void Combo2_Click();
    void Command1_Click();
    void Command4_Click();
    void Command2_Click();
    void Text6_Change();
    void Timer1_Timer();
    void FillIndexList();
    void ShowParameterInfo(int row);
    void ShowParameterOptionText(double value);
    // The link's answer time-out passed for the read this window sent.
    void AnswerTimer_Timer();

signals:
    // "Encryption" found no password set: the main window shows its password window.
    void passwordWindowRequested();
    // A write this window sent has come to an end, as the line below the
    // buttons says it: the drive, the parameter's register (group << 8 |
    // index), the raw value asked as it went out, and the outcome with the
    // words the window showed for it.
    void parameterWriteEnded(quint8 address, quint16 reg, quint16 raw, Form2::WriteOutcome outcome,
                             const QString& said);

private:
    void buildControls();
    void layOutControls();
    void onParameterReceived(const ParameterReply& reply);
    void onAnswerTimedOut(const QByteArray& request);
    void onAnswerReceived(const QByteArray& request, const QByteArray& answer);
    void sayWriteResult(const QString& text, bool good);
    // Says the end of the write awaited and tells whoever listens.
    void endWrite(quint8 address, WriteOutcome outcome, const QString& text);
    // Group number of Combo1's text: 0..9, 10 for "A"; nullopt for anything else.
    std::optional<int> selectedGroup() const;
    int selectedIndex() const;
    // The drive address in Combo3, or nullopt (after saying why) when the text
    // is not a whole number from 0 to 255.
    std::optional<quint8> addressOrWarn();
    void readSelectedParameter();
    void warn(const QString& text);
    // Greys what is on show while a read waits for its answer: until then it
    // is the previous parameter's, not the one picked.
    void showWaiting(bool waiting);

    Hexedit& m_link;
    Prompter& m_prompter;
    PasswordLock& m_lock;
    QAction& m_dataSetMenu;
    // The parameter whose reply is on show; a write is only for that one.
    std::optional<int> m_shownGroup;
    int m_shownIndex = -1;
    // The drive the last read went to, and the read itself while its answer
    // is awaited (empty once answered or said to be missing).
    quint8 m_askedDrive = 0;
    QByteArray m_askedRead;
    // The write sent last while its answer is awaited, and how it is said:
    // "P0.14 = 12.5".
    QByteArray m_sentWrite;
    QString m_sentWriteText;
    quint16 m_sentRegister = 0;
    quint16 m_sentRaw = 0;
    // The option text on show as the drive manual has it in English.
    QString m_optionEnglish;
    QHash<QWidget*, QPalette> m_freshLook;
};
