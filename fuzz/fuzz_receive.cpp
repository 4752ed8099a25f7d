// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the line through the main window's receive path: the
// receive event, the drain, the assembler and the decoder, with the main
// window polling and the parameter window open, so what shows the decoded
// values is exercised as well.
//
// An input is read as:
//   byte 0   parameter group picked in the parameter window (mod 11)
//   byte 1   parameter index picked (mod the group's size)
//   byte 2   bit 0 single drive; bits 1-2 the fault record chooser; bits 3-5
//            the last-fault value chooser (mod 7)
//   byte 3   "First" address, byte 4 "End" address (mod 32)
//   then chunks, each a header byte and up to 31 bytes from the line:
//            bits 0-4 length; bit 5 drain after the bytes arrive (otherwise
//            they wait, so a backlog can build up); bit 6 append the CRC of
//            the chunk, so whole frames are easy to make; bit 7 a poll tick
//            goes out first.
#include "Form2.h"
#include "Hexedit.h"
#include "LoopbackPort.h"
#include "Tab.h"
#include "demo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <cstddef>
#include <cstdint>

namespace {

// One main window for the whole run: building it per input would cost far
// more than the bytes it is fed.
struct Rig
{
    LoopbackPort port;
    demo window{&port};
    Form2* form = nullptr;

    Rig()
    {
        window.prompter().setResponder([](const Prompter::Prompt&) { return QMessageBox::Ok; });
        window.Command1_Click(); // open the port
        window.data_set_Click(); // the parameter window (this stops monitoring)
        window.Command5_Click(); // monitoring on again, beside the open parameter window
        form = window.findChild<Form2*>();
    }

    void drain()
    {
        // The input never holds more than a chunk plus a backlog the drain
        // clears above 200 bytes, so this ends; the guard says so outright.
        for (int guard = 0; guard < 10000 && port.bytesWaiting() > 0; ++guard)
            window.link().DrainTick();
    }

    void run(const std::uint8_t* data, std::size_t size)
    {
        if (size < 5)
            return;
        Hexedit& link = window.link();
        port.clearInput();
        port.clearWritten();
        link.RxIndex = 0;
        link.RxBuffer.fill(0);
        window.PollItem = 0;
        window.PollOffset = 0;

        const int group = data[0] % Tab::GroupCount;
        form->Combo1->setCurrentIndex(group);
        form->FillIndexList();
        form->Combo2->setCurrentIndex(data[1] % Tab::GroupSize(group));
        window.Check1->setChecked(data[2] & 1);
        window.Combo5->setCurrentIndex((data[2] >> 1) & 3);
        window.Combo5_Click();
        window.Combo6->setCurrentIndex(((data[2] >> 3) & 7) % 7);
        window.Combo6_Click();
        window.Combo4->setCurrentIndex(data[3] % 32);
        window.Combo1->setCurrentIndex(data[4] % 32);

        std::size_t at = 5;
        while (at < size) {
            const std::uint8_t header = data[at++];
            const std::size_t length = std::min<std::size_t>(header & 0x1F, size - at);
            QByteArray bytes(reinterpret_cast<const char*>(data + at), qsizetype(length));
            at += length;
            if (header & 0x40) {
                const quint16 crc = Hexedit::Crc16(
                    reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
                bytes.append(char(crc & 0xFF)).append(char(crc >> 8));
            }
            if (header & 0x80)
                window.Timer1_Timer();
            port.inject(bytes);
            if (header & 0x20)
                drain();
        }
        drain();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static Rig rig;
    rig.run(data, size);
    return 0;
}
