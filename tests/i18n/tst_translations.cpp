// SPDX-License-Identifier: GPL-3.0-or-later
#include "Language.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    bool numerus = false;
    QString type;      // the translation's type attribute: "", "unfinished", "vanished", "obsolete"
    QStringList forms; // the translation, or its numerus forms
};

// Every message of a .ts file; an empty list and a failure for a file that
// does not read as one.
QList<Message> readTs(const QString& path, QString* language = nullptr)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("cannot read %s", qPrintable(path));
        return {};
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"TS" && language)
            *language = xml.attributes().value(QLatin1String("language")).toString();
        else if (name == u"name")
            context = xml.readElementText();
        else if (name == u"message") {
            m = {context, {}, xml.attributes().value(QLatin1String("numerus")) == u"yes", {}, {}};
        } else if (name == u"source")
            m.source = xml.readElementText();
        else if (name == u"translation") {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            if (m.numerus) {
                while (xml.readNextStartElement())
                    m.forms << xml.readElementText();
            } else {
                m.forms << xml.readElementText();
            }
            messages << m;
        }
    }
    if (xml.hasError()) {
        qWarning("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
        return {};
    }
    return messages;
}

// The %1..%99 and %n placeholders of a text, sorted, each once.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d{1,2}|n)"));
    QStringList found;
    for (const QRegularExpressionMatch& match : marker.globalMatch(text))
        found << match.captured(0);
    found.sort();
    found.removeDuplicates();
    return found;
}

// How many plural forms a translation into the language has.
int pluralForms(const QString& language)
{
    return language.startsWith(u"zh") ? 1 : 2;
}

// Files whose sources already have texts for translation that the file does
// not translate yet: being translated now. Take a file out once it is done (a
// file listed here that passes fails the test, so none stays by mistake).
const QStringList kBeingTranslated = {};

QStringList tsFiles()
{
    return QDir(QStringLiteral(VFD_TS_DIR)).entryList({QStringLiteral("*.ts")}, QDir::Files);
}

} // namespace

class tst_translations : public QObject
{
    Q_OBJECT

private slots:
    void filesAreComplete_data();
    void filesAreComplete();
    void filesCoverTheirSources_data();
    void filesCoverTheirSources();
    void languageFromNamesAndLocales();
    void installingSwitchesTheTexts();
};

void tst_translations::filesAreComplete_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = tsFiles();
    QVERIFY(files.contains(QStringLiteral("catalogue_zh_CN.ts")));
    for (const QString& f : files)
        QTest::newRow(qPrintable(f)) << f;
}

// Each entry finished, none left over from a text that has gone, every
// placeholder of the source kept, and as many plural forms as the language has.
void tst_translations::filesAreComplete()
{
    QFETCH(QString, file);
    QString language;
    const QList<Message> messages =
        readTs(QDir(QStringLiteral(VFD_TS_DIR)).filePath(file), &language);
    QVERIFY2(language.contains(u'_'), qPrintable(file + QStringLiteral(": no language")));
    QVERIFY(file.endsWith(u'_' + language + QStringLiteral(".ts")));
    QStringList faults;
    for (const Message& m : messages) {
        const QString where = m.context + QStringLiteral(": \"") + m.source + u'"';
        if (!m.type.isEmpty())
            faults << where + QStringLiteral(" is ") + m.type;
        if (m.numerus && m.forms.size() != pluralForms(language))
            faults << where + QStringLiteral(" has %1 plural forms").arg(m.forms.size());
        for (const QString& form : m.forms) {
            if (form.trimmed().isEmpty() && !m.source.trimmed().isEmpty())
                faults << where + QStringLiteral(" has an empty translation");
            else if (placeholders(form) != placeholders(m.source))
                faults << where + QStringLiteral(" -> \"") + form +
                              QStringLiteral("\" changes the placeholders");
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void tst_translations::filesCoverTheirSources_data()
{
    filesAreComplete_data();
}

// A text added to or changed in the sources without its translation shows as
// an unfinished entry once lupdate has run over a copy of the file.
void tst_translations::filesCoverTheirSources()
{
    QFETCH(QString, file);
    const QString name = file.chopped(3);
    const QString sources = QStringLiteral(VFD_QM_DIR "/") + name + QStringLiteral(".sources");
    QVERIFY2(QFile::exists(sources), qPrintable(sources));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(file);
    QVERIFY(QFile::copy(QDir(QStringLiteral(VFD_TS_DIR)).filePath(file), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.start(QStringLiteral(VFD_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   u'@' + sources, QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    QStringList faults;
    for (const Message& m : readTs(copy)) {
        if (m.type == u"unfinished")
            faults << m.context + QStringLiteral(": \"") + m.source +
                          QStringLiteral("\" has no translation");
        else if (m.type == u"vanished" || m.type == u"obsolete")
            faults << m.context + QStringLiteral(": \"") + m.source +
                          QStringLiteral("\" is no longer in the sources");
    }
    if (kBeingTranslated.contains(file))
        QEXPECT_FAIL("", "being translated", Continue);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void tst_translations::languageFromNamesAndLocales()
{
    const QString en = QString::fromLatin1(Language::English);
    const QString zh = QString::fromLatin1(Language::Chinese);
    for (const char* name :
         {"zh_CN", "zh-CN", "zh", "ZH_cn", "zh_CN.UTF-8", "zh_TW.Big5", " zh_SG "})
        QCOMPARE(Language::fromName(QString::fromLatin1(name)), zh);
    for (const char* name : {"en", "en_GB", "en_US.UTF-8", "C", "C.UTF-8", "POSIX"})
        QCOMPARE(Language::fromName(QString::fromLatin1(name)), en);
    for (const char* name : {"", "de_DE", "fr", "english", "zhx", "--lang"})
        QCOMPARE(Language::fromName(QString::fromLatin1(name)), std::nullopt);

    QCOMPARE(Language::fromLocale(QLocale(QStringLiteral("zh_CN"))), zh);
    QCOMPARE(Language::fromLocale(QLocale(QStringLiteral("zh_TW"))), zh);
    QCOMPARE(Language::fromLocale(QLocale::c()), en);
    QCOMPARE(Language::fromLocale(QLocale(QStringLiteral("de_DE"))), en);
    // An explicit choice wins when it is one; otherwise the system decides
    // (the tests run under the C locale).
    QCOMPARE(Language::choose(QStringLiteral("zh_CN")), zh);
    QCOMPARE(Language::choose(QStringLiteral("de")), en);
    QCOMPARE(Language::choose(), en);
}

// Qt's own texts and ours come and go with the language.
void tst_translations::installingSwitchesTheTexts()
{
    // A text of Qt's own (the standard buttons'), looked up as Qt does.
    auto qtText = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    QCOMPARE(qtText(), QStringLiteral("Cancel"));
    QCOMPARE(Language::install(QStringLiteral("zh_CN")), QStringList());
    QCOMPARE(Language::current(), QStringLiteral("zh_CN"));
    QCOMPARE(qtText(), QStringLiteral("取消"));
    // Installing again replaces rather than stacks; English takes them all out.
    QCOMPARE(Language::install(QStringLiteral("zh_CN")), QStringList());
    QCOMPARE(qtText(), QStringLiteral("取消"));
    QCOMPARE(Language::install(QStringLiteral("en")), QStringList());
    QCOMPARE(Language::current(), QStringLiteral("en"));
    QCOMPARE(qtText(), QStringLiteral("Cancel"));
    // Something that is no language at all leaves English.
    Language::install(QStringLiteral("xx"));
    QCOMPARE(Language::current(), QStringLiteral("en"));
    QCOMPARE(qtText(), QStringLiteral("Cancel"));
}

QTEST_GUILESS_MAIN(tst_translations)
#include "tst_translations.moc"
