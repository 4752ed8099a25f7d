// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form2.h"

#include "CatalogueText.h"
#include "Hexedit.h"
#include "Lamp.h"
#include "NumberText.h"
#include "PasswordLock.h"
#include "Prompter.h"
#include "RtuProtocol.h"
#include "Tab.h"
#include "menu.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <limits>

namespace {

// The address box lists 0..31 but is editable, and takes any whole number that
// fits the request's address byte: this is the most it takes, not the drives'
// highest address.
constexpr int kLargestAddressInBox = 255;

const char* const kErrorTitle = QT_TRANSLATE_NOOP("Form2", "Error Warning");
const char* const kMessageTitle = QT_TRANSLATE_NOOP("Form2", "Message!");

QString fromCatalogue(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The English beside a translated catalogue text; nothing where they are the same.
QString englishIfOther(const QString& shown, const QString& english)
{
    return shown == english ? QString() : english;
}

QString withEnglish(const QString& shown, const QString& english)
{
    const QString other = englishIfOther(shown, english);
    return other.isEmpty() ? shown : shown + QStringLiteral("\n\n") + other;
}

double leadingNumber(const QString& text)
{
    return Tab::LeadingNumber(text.toStdString());
}

} // namespace

Form2::Form2(Hexedit& link, Prompter& prompter, PasswordLock& lock, QAction& dataSetMenu,
             QWidget* parent)
    : QWidget(parent), Timer1(&link.DrainTimer()), m_link(link), m_prompter(prompter), m_lock(lock),
      m_dataSetMenu(dataSetMenu)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Attribute"));
    buildControls();
    layOutControls();

    for (int group = 0; group < Tab::GroupCount; ++group)
        Combo1->addItem(QString::fromStdString(Tab::GroupDigit(group)));
    Combo1->setCurrentIndex(0);
    FillIndexList();
    for (int address = 0; address <= Rtu::HighestAddress; ++address)
        Combo3->addItem(QString::number(address));
    Combo3->setCurrentIndex(1);

    // Only a pick by the user reads; filling the lists above must not talk to a drive.
    connect(Combo1, &QComboBox::activated, this, &Form2::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &Form2::Combo2_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this](int at) {
        Combo2->setToolTip(Combo2->itemData(at, Qt::ToolTipRole).toString());
    });
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Text6, &QPlainTextEdit::textChanged, this, &Form2::Text6_Change);
    connect(&m_link, &Hexedit::parameterReceived, this, &Form2::onParameterReceived);
    // "No answer" is the link's own verdict on the read this window sent.
    connect(&m_link, &Hexedit::answerTimedOut, this, &Form2::onAnswerTimedOut);
    connect(&m_link, &Hexedit::answerReceived, this, &Form2::onAnswerReceived);
}

// ---------------------------------------------------------------- selection

std::optional<int> Form2::selectedGroup() const
{
    const int group = Tab::GroupFromDigit(Combo1->currentText().toStdString());
    if (group < 0)
        return std::nullopt;
    return group;
}

int Form2::selectedIndex() const
{
    return Combo2->currentText().toInt();
}

void Form2::FillIndexList()
{
    Combo2->clear();
    if (const std::optional<int> group = selectedGroup()) {
        // The bare numbers stay the list; each one's name is its tooltip,
        // so the parameter can be found before the drive has answered.
        for (int index = 0; index < Tab::GroupSize(*group); ++index) {
            Combo2->addItem(QString::number(index));
            const int row = Tab::CatalogueRow(*group, index);
            const QString number = fromCatalogue(Tab::ParamNumber(row));
            const QString name = CatalogueText::paramName(row);
            const QString english = englishIfOther(name, CatalogueText::englishParamName(row));
            Combo2->setItemData(
                index,
                QStringLiteral("%1 %2").arg(number, name) +
                    (english.isEmpty() ? QString() : QStringLiteral("\n\n") + english),
                Qt::ToolTipRole);
        }
    }
    Combo2->setCurrentIndex(0);
    ListReady = true;
}

void Form2::Combo1_Click()
{
    ListReady = false;
    FillIndexList();
    readSelectedParameter();
}

void Form2::Combo2_Click()
{
    if (!ListReady)
        return;
    readSelectedParameter();
}

std::optional<quint8> Form2::addressOrWarn()
{
    // The box is editable. A byte would wrap 300 to 44, and a typo read as 0
    // would reach every drive on the line, so only a plain whole number that
    // fits a byte is taken.
    const QString text = Combo3->currentText().trimmed();
    bool digitsOnly = !text.isEmpty();
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (digitsOnly) {
        qsizetype first = 0;
        while (first < text.size() - 1 && text[first] == u'0')
            ++first;
        const QString digits = text.sliced(first);
        if (digits.size() <= 3 && digits.toInt() <= kLargestAddressInBox)
            return quint8(digits.toInt());
    }
    warn(tr("The inverter address must be a whole number from 0 to %1. "
            "Nothing was sent.")
             .arg(kLargestAddressInBox));
    return std::nullopt;
}

void Form2::readSelectedParameter()
{
    const std::optional<int> group = selectedGroup();
    if (!group)
        return;
    const std::optional<quint8> address = addressOrWarn();
    if (!address)
        return;
    m_askedDrive = *address;
    m_askedRead =
        Hexedit::ShortFrame(*address, Rtu::ReadFunction, quint16(*group << 8 | selectedIndex()), 0);
    NoAnswerLabel->clear();
    showWaiting(true);
    if (!m_link.SendParameterRead(*address, quint8(*group), quint8(selectedIndex())))
        m_askedRead.clear();
}

void Form2::onAnswerTimedOut(const QByteArray& request)
{
    if (!m_askedRead.isEmpty() && request == m_askedRead)
        AnswerTimer_Timer();
    if (!m_sentWrite.isEmpty() && request == m_sentWrite) {
        m_sentWrite.clear();
        endWrite(quint8(request[0]), WriteOutcome::NoAnswer,
                 tr("No answer from drive %1: %2 may not have been written")
                     .arg(quint8(request[0]))
                     .arg(m_sentWriteText));
    }
}

void Form2::onAnswerReceived(const QByteArray& request, const QByteArray& answer)
{
    if (m_sentWrite.isEmpty() || request != m_sentWrite)
        return;
    m_sentWrite.clear();
    // A drive takes a write by echoing it; it refuses one with an exception.
    if (answer.size() >= 3 && (quint8(answer[1]) & Rtu::ExceptionFlag)) {
        const quint8 code = quint8(answer[2]);
        const QString why = code == 1   ? tr("it does not take this request")
                            : code == 2 ? tr("it has no such parameter")
                            : code == 3 ? tr("the value is not allowed now")
                            : code == 4 ? tr("the drive failed to do it")
                                        : tr("reason code %1").arg(code);
        endWrite(quint8(request[0]), WriteOutcome::Refused,
                 tr("Drive %1 refused %2 (exception %3: %4)")
                     .arg(quint8(request[0]))
                     .arg(m_sentWriteText)
                     .arg(code)
                     .arg(why));
        return;
    }
    if (answer.left(6) == request.left(6))
        endWrite(quint8(request[0]), WriteOutcome::Written,
                 tr("%1 written to drive %2").arg(m_sentWriteText).arg(quint8(request[0])));
    else
        endWrite(quint8(request[0]), WriteOutcome::Refused,
                 tr("Drive %1 answered %2 with another value: not written")
                     .arg(quint8(request[0]))
                     .arg(m_sentWriteText));
}

void Form2::endWrite(quint8 address, WriteOutcome outcome, const QString& text)
{
    sayWriteResult(text, outcome == WriteOutcome::Written);
    emit parameterWriteEnded(address, m_sentRegister, m_sentRaw, outcome, text);
}

void Form2::sayWriteResult(const QString& text, bool good)
{
    QPalette palette = WriteResultLabel->palette();
    palette.setColor(QPalette::WindowText, good ? QColor(0, 110, 0) : QColor(Qt::red));
    WriteResultLabel->setPalette(palette);
    WriteResultLabel->setText(text);
}

void Form2::AnswerTimer_Timer()
{
    m_askedRead.clear();
    NoAnswerLabel->setText(tr("No answer from drive %1").arg(m_askedDrive));
}

void Form2::showWaiting(bool waiting)
{
    for (QWidget* field : std::initializer_list<QWidget*>{Label2, Label10, Text1, Text6, Text2,
                                                          Text3, Text4, Text5}) {
        if (!m_freshLook.contains(field))
            m_freshLook.insert(field, field->palette());
        const QPalette& fresh = m_freshLook.value(field);
        QPalette palette = field->palette();
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
                palette.setColor(group, role,
                                 waiting ? QColor(Qt::gray) : fresh.color(group, role));
        }
        field->setPalette(palette);
    }
}

// ---------------------------------------------------------------- reply

void Form2::onParameterReceived(const ParameterReply& reply)
{
    // A late reply to an earlier pick, or another window's read of another
    // drive, must not overwrite the parameter on show.
    const std::optional<int> group = selectedGroup();
    const int index = selectedIndex();
    if (!group || reply.group != *group || reply.index != index || reply.address != m_askedDrive)
        return;
    m_askedRead.clear();
    NoAnswerLabel->clear();
    showWaiting(false);
    const int row = Tab::CatalogueRow(*group, index);
    // The drive manual's English goes to the tooltip, to match either manual.
    Label2->setText(CatalogueText::groupTitle(*group));
    Label2->setToolTip(englishIfOther(Label2->text(), CatalogueText::englishGroupTitle(*group)));
    Label10->setText(CatalogueText::paramName(row));
    Label10->setToolTip(englishIfOther(Label10->text(), CatalogueText::englishParamName(row)));
    ShowParameterInfo(row);

    const std::optional<double> scale = Tab::ParamScale(row);
    m_link.SetParameterScale(scale);
    if (scale) {
        const double value = double(reply.raw) * *scale;
        Command1->setEnabled(true);
        Text1->setText(NumberText::ParameterValue(value));
        ShowParameterOptionText(value);
    } else {
        Command1->setEnabled(false);
        Text1->setText(tr("Reserve"));
        // A reserved parameter has no number; NaN matches no option.
        ShowParameterOptionText(std::numeric_limits<double>::quiet_NaN());
    }
    m_shownGroup = *group;
    m_shownIndex = index;
}

void Form2::ShowParameterInfo(int row)
{
    // The one default in words rather than a figure, in the language on show.
    const QString given = fromCatalogue(Tab::ParamDefault(row));
    Text2->setText(given == u"model setting" ? tr("model setting") : given);
    Text2->setToolTip(Text2->text() == given ? QString() : given);
    Text3->setText(fromCatalogue(Tab::ParamMin(row)));
    Text4->setText(fromCatalogue(Tab::ParamMax(row)));
    Text5->setText(fromCatalogue(Tab::ParamResolution(row)));
    Shape1->setFillColour(Tab::ParamAttribute(row) == "1" ? ColourValue::Red : ColourValue::Green);
}

void Form2::ShowParameterOptionText(double value)
{
    const std::optional<int> group = selectedGroup();
    if (!group)
        return;
    Text6->setPlainText(CatalogueText::optionText(*group, selectedIndex(), value));
    m_optionEnglish = CatalogueText::englishOptionText(*group, selectedIndex(), value);
    Text6_Change();
}

void Form2::Text6_Change()
{
    Text6->setToolTip(withEnglish(Text6->toPlainText(), m_optionEnglish));
}

// ---------------------------------------------------------------- buttons

void Form2::Command1_Click()
{
    const QString value = Text1->text();
    const std::optional<int> group = selectedGroup();
    // Whatever "Enter" came to, the line below the buttons says it: a value
    // refused here must not leave an earlier "written" standing, or it reads
    // as taken.
    auto refuse = [&](const QString& boxText, const QString& why) {
        if (!boxText.isEmpty())
            warn(boxText);
        const int row = group ? Tab::CatalogueRow(*group, selectedIndex()) : -1;
        const QString number = fromCatalogue(Tab::ParamNumber(row));
        const QString what = number.isEmpty() ? value : number + QStringLiteral(" = ") + value;
        sayWriteResult(tr("%1 not sent: %2").arg(what.trimmed(), why), false);
    };
    const double typed = leadingNumber(value);
    const double minimum = leadingNumber(Text3->text());
    const double maximum = leadingNumber(Text4->text());
    const QString boundsError = tr("Parameter error,refer to Max && Min ");
    const QString outside = tr("outside Min %1 and Max %2").arg(Text3->text(), Text4->text());
    if (value.isEmpty() || maximum < typed || minimum > typed)
        return refuse(boundsError, value.isEmpty() ? tr("no value typed") : outside);
    // " 500" or "+500" read as 0 above, yet 500 is what would be written:
    // the number that goes out must lie within the bounds as well.
    const std::optional<double> written = NumberText::ParseDecimal(value);
    if (written && (maximum < *written || minimum > *written))
        return refuse(boundsError, outside);
    // The scale kept by the link is that of the parameter last shown. Until the
    // drive has answered for the parameter now picked, writing would send the
    // value scaled for another parameter.
    if (!group || m_shownGroup != *group || m_shownIndex != selectedIndex())
        return refuse(tr("The parameter picked has not been read from the drive "
                         "yet. Nothing was sent."),
                      tr("not read from the drive yet"));
    if (!m_link.ParameterScale)
        return refuse(tr("This parameter is reserved and cannot be written. "
                         "Nothing was sent."),
                      tr("reserved"));
    if (!written)
        return refuse(tr("The present value is not a number. Nothing was sent."),
                      tr("not a number"));
    if (!Hexedit::ParameterRaw(value, m_link.ParameterScale))
        return refuse(tr("The value does not fit the parameter's register. "
                         "Nothing was sent."),
                      tr("does not fit the register"));
    const std::optional<quint8> address = addressOrWarn();
    if (!address)
        return refuse(QString(), tr("no valid inverter address"));
    if (*address == 0)
        return refuse(tr("Address 0 would reach every drive on the line; a "
                         "parameter is written to one drive at a time. Nothing was "
                         "sent."),
                      tr("address 0 would reach every drive"));
    WriteResultLabel->clear();
    if (m_link.SendParameterWrite(*address, quint8(*group), quint8(selectedIndex()), value)) {
        const int row = Tab::CatalogueRow(*group, selectedIndex());
        const std::optional<quint16> raw = Hexedit::ParameterRaw(value, m_link.ParameterScale);
        m_sentWrite = m_link.TxFrame;
        m_sentRegister = quint16(*group << 8 | selectedIndex());
        m_sentRaw = *raw;
        m_sentWriteText = QStringLiteral("%1 = %2").arg(
            fromCatalogue(Tab::ParamNumber(row)),
            NumberText::ParameterValue(double(*raw) * *m_link.ParameterScale));
    } else {
        refuse(QString(), tr("the port is not open"));
    }
}

void Form2::Command4_Click()
{
    if (m_lock.PasswordSet) {
        m_prompter.warn(this, tr(kMessageTitle), tr("Encrypted Successfully."));
        m_dataSetMenu.setEnabled(false);
        return;
    }
    m_prompter.warn(this, tr(kMessageTitle),
                    tr("Password did not be setted,please set a password!"));
    emit passwordWindowRequested();
}

void Form2::Command2_Click()
{
    close();
    if (m_lock.PasswordSet)
        m_dataSetMenu.setEnabled(false);
}

void Form2::Timer1_Timer()
{
    m_link.DrainTick();
}

void Form2::warn(const QString& text)
{
    m_prompter.warn(this, tr(kErrorTitle), text);
}
