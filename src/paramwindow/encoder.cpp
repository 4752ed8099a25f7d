// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder.h"

#include "PasswordLock.h"
#include "Prompter.h"

#include <QAction>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kBackspace = 8;
constexpr qsizetype kShortest = 3;
constexpr qsizetype kLongest = 8;

const char* const kMessageTitle = QT_TRANSLATE_NOOP("encoder", "Message!");
const char* const kLengthMessage = QT_TRANSLATE_NOOP("encoder", "Please enter 3 to 8 numbers.");
const QString kStartText = QStringLiteral("******");
const QString kDoneText = QStringLiteral("*******");

bool isDigitOrBackspace(int key)
{
    return (key >= '0' && key <= '9') || key == kBackspace;
}

// The asterisks a box shows before anything is typed and after a success.
bool isPlaceholder(const QString& text)
{
    return text == kStartText || text == kDoneText;
}

// A password as the boxes admit it: 3 to 8 of the digits 0 to 9.
bool isPassword(const QString& text)
{
    if (text.size() < kShortest || text.size() > kLongest)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (!isDigitOrBackspace(c.unicode()))
            return false;
    }
    return true;
}

// What a key press would put into a box as the box's key filter sees it:
// one character code, 8 for backspace; empty for keys that type nothing
// (arrows, Delete, Home, focus changes, editing shortcuts), which the box
// handles on its own.
QString typedBy(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Backspace)
        return QString(QChar(kBackspace));
    // Like the arrows, Delete edits the box and types no character (X11 still
    // attaches U+007F to it), so it passes without a check.
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Delete)
        return {};
    for (const QKeySequence::StandardKey editing :
         {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll, QKeySequence::Undo,
          QKeySequence::Redo}) {
        if (key.matches(editing))
            return {};
    }
    // Other Ctrl combinations type control codes, never text; a printable
    // character typed with Ctrl held (AltGr on some systems) is still checked.
    const QString text = key.text();
    if ((key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && !text.isEmpty() &&
        !text.front().isPrint())
        return {};
    return text;
}

} // namespace

encoder::encoder(PasswordLock& lock, Prompter& prompter, QAction& dataSetMenu, QWidget* parent)
    : QWidget(parent), m_lock(lock), m_prompter(prompter), m_dataSetMenu(dataSetMenu)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("encoder"));
    setWindowTitle(tr("Password "));

    Frame1 = new QGroupBox(tr("Odd Password"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(tr("Enter the Password "));
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(kStartText);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(tr("Enter"));
    Command1->setObjectName(QStringLiteral("Command1"));

    Frame2 = new QGroupBox(tr("New Password"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Label2 = new QLabel(tr(kLengthMessage));
    Label2->setObjectName(QStringLiteral("Label2"));
    Text2 = new QLineEdit(kStartText);
    Text2->setObjectName(QStringLiteral("Text2"));
    Command2 = new QPushButton(tr("Enter"));
    Command2->setObjectName(QStringLiteral("Command2"));

    Command3 = new QPushButton(tr("Exit"));
    Command3->setObjectName(QStringLiteral("Command3"));

    Label1->setBuddy(Text1);
    Text1->setAccessibleName(Label1->text());
    Label2->setBuddy(Text2);
    Text2->setAccessibleName(Label2->text());

    // Every way text gets into the boxes goes through the key filter below:
    // typing and the paste shortcut are seen there; the context menu, drops and
    // input methods would slip past it, so they are off for these two boxes.
    for (QLineEdit* box : {Text1, Text2}) {
        box->installEventFilter(this);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        // Neither password is shown as typed; each digit shows as an
        // asterisk, like the asterisks the boxes start with.
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }

    auto* verify = new QGridLayout(Frame1);
    verify->addWidget(Label1, 0, 0, 1, 2);
    verify->addWidget(Text1, 1, 0);
    verify->addWidget(Command1, 1, 1);
    verify->setColumnStretch(0, 1);

    auto* change = new QGridLayout(Frame2);
    change->addWidget(Label2, 0, 0, 1, 2);
    change->addWidget(Text2, 1, 0);
    change->addWidget(Command2, 1, 1);
    change->setColumnStretch(0, 1);

    auto* leave = new QHBoxLayout;
    leave->addStretch();
    leave->addWidget(Command3);

    auto* window = new QVBoxLayout(this);
    window->addWidget(Frame1);
    window->addWidget(Frame2);
    window->addLayout(leave);

    connect(Command1, &QPushButton::clicked, this, &encoder::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &encoder::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &encoder::Command3_Click);
}

// ---------------------------------------------------------------- key filters

bool encoder::Text1_KeyPress(int key)
{
    return admitToVerifyBox(isDigitOrBackspace(key));
}

bool encoder::Text2_KeyPress(int key)
{
    return admitToNewBox(isDigitOrBackspace(key));
}

bool encoder::admitToVerifyBox(bool digitsOnly)
{
    if (m_lock.CurrentPassword.isEmpty()) {
        m_lock.PasswordSet = false;
        m_lock.Unlocked = true;
    }
    if (!m_lock.PasswordSet)
        say(tr(kMessageTitle), tr("You didn't enter the new password,yet."));
    if (!digitsOnly) {
        say(tr("Erorr Warning!"), tr("Enter number,please!"));
        return false;
    }
    return true;
}

bool encoder::admitToNewBox(bool digitsOnly)
{
    if (m_lock.CurrentPassword.isEmpty()) {
        m_lock.Unlocked = true;
        m_lock.PasswordSet = false;
        m_dataSetMenu.setEnabled(true);
    }
    if (m_lock.Unlocked) {
        if (!digitsOnly) {
            say(tr("Error Warning"), tr("Please enter number!"));
            return false;
        }
        return true;
    }
    say(tr("Warning!"), tr("Please verify the password before change it!"));
    return true;
}

bool encoder::admit(QLineEdit* box, const QString& typed)
{
    const bool digitsOnly = allDigits(typed);
    return box == Text1 ? admitToVerifyBox(digitsOnly) : admitToNewBox(digitsOnly);
}

bool encoder::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != Text1 && box != Text2)
        return QWidget::eventFilter(watched, event);

    // The asterisks stand for "nothing typed yet": they are selected when the
    // box is entered and go with the first key, never staying in front of
    // what the user types.
    if (event->type() == QEvent::FocusIn && isPlaceholder(box->text()))
        QTimer::singleShot(0, box, [box] {
            if (isPlaceholder(box->text()))
                box->selectAll();
        });
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // A pasted text is checked as a whole, like one long key press: one
        // message at most, and nothing of it enters when the filter says no.
        if (key->matches(QKeySequence::Paste)) {
            const QString pasted = QGuiApplication::clipboard()->text();
            if (!pasted.isEmpty() && admit(box, pasted)) {
                if (isPlaceholder(box->text()))
                    box->clear();
                box->insert(pasted);
            }
            return true;
        }
        const QString typed = typedBy(*key);
        if (typed.isEmpty())
            return false;
        if (!admit(box, typed))
            return true;
        if (isPlaceholder(box->text()))
            box->clear();
        return false;
    }
    // The middle button pastes the selection on some desktops.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            const QString pasted = clipboard->text(QClipboard::Selection);
            if (!pasted.isEmpty() && admit(box, pasted)) {
                if (isPlaceholder(box->text()))
                    box->clear();
                box->insert(pasted);
            }
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- buttons

void encoder::Command1_Click()
{
    const QString entered = Text1->text();
    if (entered.size() < kShortest || entered.size() > kLongest) {
        say(tr(kMessageTitle), tr(kLengthMessage));
        refuseEntry(Text1);
        return;
    }
    if (entered == m_lock.CurrentPassword || entered == PasswordLock::DefaultPassword) {
        Text1->setText(kDoneText);
        m_lock.Unlocked = true;
        say(tr(kMessageTitle), tr("Successful,you can modify the parameter now!"));
        m_dataSetMenu.setEnabled(true);
        return;
    }
    say(tr(kMessageTitle), tr("Password error,please try again."));
    refuseEntry(Text1);
}

void encoder::Command2_Click()
{
    const QString entered = Text2->text();
    // Only what can be typed back into the verify box becomes the password:
    // asterisks left in the box or pasted letters would lock the user out.
    if (isPassword(entered)) {
        m_lock.CurrentPassword = entered;
        Text2->setText(kDoneText);
        m_lock.PasswordSet = true;
        say(tr(kMessageTitle), tr("Password had been changed, please keep it youself!"));
        return;
    }
    say(tr(kMessageTitle), tr(kLengthMessage));
    refuseEntry(Text2);
}

void encoder::Command3_Click()
{
    m_lock.PasswordSet = true;
    m_lock.Unlocked = false;
    close();
}

void encoder::refuseEntry(QLineEdit* box)
{
    box->setFocus();
    box->clear();
}

void encoder::say(const QString& title, const QString& text)
{
    m_prompter.warn(this, title, text);
}
