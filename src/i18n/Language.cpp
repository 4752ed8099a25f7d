// SPDX-License-Identifier: GPL-3.0-or-later
#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <vector>

namespace Language {
namespace {

// Where the build puts our compiled translations (see src/i18n/CMakeLists.txt).
const QString kOurFolder = QStringLiteral(":/i18n");

// Qt's own translations that our programs show: the standard dialogs' and
// messages' texts (qtbase) and the serial port's errors (qtserialport).
const char* const kQtCatalogues[] = {"qtbase", "qtserialport"};

struct Installed
{
    QString language = QString::fromLatin1(English);
    std::vector<std::unique_ptr<QTranslator>> translators;
};

Installed& installed()
{
    static Installed state;
    return state;
}

} // namespace

QStringList offered()
{
    return {QString::fromLatin1(English), QString::fromLatin1(Chinese)};
}

QString nativeName(const QString& language)
{
    if (language == QLatin1String(Chinese))
        return QStringLiteral("简体中文");
    if (language == QLatin1String(English))
        return QStringLiteral("English");
    return language;
}

std::optional<QString> fromName(const QString& text)
{
    // Drop the encoding and modifier ("zh_CN.UTF-8@cjk"), unify the separator.
    QString name = text.trimmed();
    name = name.left(name.indexOf(u'.')).left(name.indexOf(u'@'));
    name.replace(u'-', u'_');
    const QString lower = name.toLower();
    if (lower.isEmpty())
        return std::nullopt;
    if (lower == u"c" || lower == u"posix" || lower == u"en" || lower.startsWith(u"en_"))
        return QString::fromLatin1(English);
    if (lower == u"zh" || lower.startsWith(u"zh_"))
        return QString::fromLatin1(Chinese);
    return std::nullopt;
}

QString fromLocale(const QLocale& locale)
{
    return locale.language() == QLocale::Chinese ? QString::fromLatin1(Chinese)
                                                 : QString::fromLatin1(English);
}

QString choose(const QString& explicitChoice)
{
    if (const std::optional<QString> chosen = fromName(explicitChoice))
        return *chosen;
    return fromLocale(QLocale::system());
}

QStringList install(const QString& language)
{
    Installed& state = installed();
    for (const std::unique_ptr<QTranslator>& t : state.translators)
        QCoreApplication::removeTranslator(t.get());
    state.translators.clear();
    state.language = QString::fromLatin1(English);

    QStringList missing;
    const std::optional<QString> chosen = fromName(language);
    if (!chosen || *chosen == QLatin1String(English))
        return missing;

    auto load = [&](const QString& file, const QString& folder) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(file, folder)) {
            missing << QDir(folder).filePath(file);
            return;
        }
        QCoreApplication::installTranslator(translator.get());
        state.translators.push_back(std::move(translator));
    };
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : kQtCatalogues)
        load(QString::fromLatin1(catalogue) + u'_' + *chosen + QStringLiteral(".qm"), qtFolder);
    // Every one of ours the build made for this language.
    const QStringList ours =
        QDir(kOurFolder)
            .entryList({QStringLiteral("*_") + *chosen + QStringLiteral(".qm")}, QDir::Files,
                       QDir::Name);
    for (const QString& file : ours)
        load(file, kOurFolder);
    state.language = *chosen;
    return missing;
}

QString current()
{
    return installed().language;
}

} // namespace Language
